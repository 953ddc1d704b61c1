#include "TestJpeg.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

#include <jpeglib.h>

namespace {

std::uint8_t Clamp(double value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

std::uint8_t Light(int value, int maximum)
{
    return maximum == 0 ? 0 : static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
}

// Entropy-coded bits, most significant first, with a zero stuffed after
// every 0xFF byte and the last byte padded with ones.
class TBitWriter {
public:
    explicit TBitWriter(std::vector<std::uint8_t>& out) : FOut(out) {}

    void Put(unsigned bits, int count)
    {
        FBits = FBits << count | bits;
        for (FCount += count; FCount >= 8;) {
            FCount -= 8;
            FOut.push_back(static_cast<std::uint8_t>(FBits >> FCount));
            if (FOut.back() == 0xFF)
                FOut.push_back(0);
        }
    }

    void Finish()
    {
        if (FCount > 0)
            Put((1u << (8 - FCount)) - 1, 8 - FCount);
    }

private:
    std::vector<std::uint8_t>& FOut;
    std::uint64_t FBits = 0;
    int FCount = 0;
};

void PutMarker(std::vector<std::uint8_t>& out, std::uint8_t marker, const std::vector<std::uint8_t>& body)
{
    const std::size_t length = body.size() + 2;
    out.insert(out.end(), {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), body.begin(), body.end());
}

// The tables of FlatTestJpeg: DC category 0 is the code 0; AC symbol r << 4
// (EOBr, or EOB for r = 0) is r in four bits.
void PutFlatTables(std::vector<std::uint8_t>& out)
{
    std::vector<std::uint8_t> quant{0};
    quant.resize(65, 1);
    PutMarker(out, 0xDB, quant);
    std::vector<std::uint8_t> dc(17, 0);
    dc[1] = 1;
    dc.push_back(0);
    PutMarker(out, 0xC4, dc);
    std::vector<std::uint8_t> ac(17, 0);
    ac[0] = 0x10;
    ac[4] = 15;
    for (int r = 0; r < 15; ++r)
        ac.push_back(static_cast<std::uint8_t>(r << 4));
    PutMarker(out, 0xC4, ac);
}

// End-of-band runs of at most 32767 blocks covering blocks blocks.
void PutEndOfBands(TBitWriter& bits, std::uint64_t blocks)
{
    while (blocks > 0) {
        const unsigned run = static_cast<unsigned>(std::min<std::uint64_t>(blocks, 32767));
        const int r = std::bit_width(run) - 1;
        bits.Put(static_cast<unsigned>(r), 4);
        bits.Put(run - (1u << r), r);
        blocks -= run;
    }
}

// A compressor that writes its file into memory.
class TMemoryCompressor {
public:
    TMemoryCompressor()
    {
        Info.err = jpeg_std_error(&FError);
        jpeg_create_compress(&Info);
        jpeg_mem_dest(&Info, &FBuffer, &FSize);
    }
    ~TMemoryCompressor()
    {
        jpeg_destroy_compress(&Info);
        std::free(FBuffer);
    }
    TMemoryCompressor(const TMemoryCompressor&) = delete;
    TMemoryCompressor& operator=(const TMemoryCompressor&) = delete;

    // Ends the compression and returns the file.
    std::vector<std::uint8_t> Finish()
    {
        jpeg_finish_compress(&Info);
        return {FBuffer, FBuffer + FSize};
    }

    jpeg_compress_struct Info{};

private:
    jpeg_error_mgr FError{};
    unsigned char* FBuffer = nullptr;
    unsigned long FSize = 0;
};

} // namespace

TBitmap SmoothTestPicture(std::int32_t width, std::int32_t height)
{
    TBitmap picture(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = picture.ScanLine(y);
        for (std::int32_t x = 0; x < width; ++x) {
            row[3 * x] = Clamp(128 + 90 * std::sin(x / 9.0 + y / 23.0));
            row[3 * x + 1] = Clamp(120 + 80 * std::cos(x / 17.0 - y / 13.0));
            row[3 * x + 2] = Clamp(30 + 200.0 * (x + y) / (width + height));
        }
    }
    return picture;
}

std::vector<std::uint8_t> EncodeTestJpeg(const TBitmap& picture, const TTestJpegOptions& options)
{
    TMemoryCompressor compressor;
    jpeg_compress_struct& info = compressor.Info;

    const bool grey = options.Colour == TTestJpegColour::Grey;
    const bool ink = !grey && options.Colour != TTestJpegColour::Rgb;
    info.image_width = static_cast<JDIMENSION>(picture.Width());
    info.image_height = static_cast<JDIMENSION>(picture.Height());
    info.input_components = grey ? 1 : ink ? 4 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : ink ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.Quality, TRUE);
    if (options.Colour == TTestJpegColour::AdobeYcck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    if (options.Colour == TTestJpegColour::Cmyk)
        info.write_Adobe_marker = FALSE;
    if (!options.Subsample)
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    if (options.Progressive)
        jpeg_simple_progression(&info);
    info.arith_code = options.Arithmetic;
    jpeg_start_compress(&info, TRUE);

    std::vector<JSAMPLE> line(static_cast<std::size_t>(picture.Width()) * 4);
    const bool inverted = options.Colour == TTestJpegColour::AdobeCmyk || options.Colour == TTestJpegColour::AdobeYcck;
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* bgr = picture.ScanLine(static_cast<std::int32_t>(info.next_scanline));
        for (std::int32_t x = 0; x < picture.Width(); ++x) {
            const int b = bgr[3 * x], g = bgr[3 * x + 1], r = bgr[3 * x + 2];
            JSAMPLE* out = line.data() + x * info.input_components;
            if (grey) {
                out[0] = static_cast<JSAMPLE>((77 * r + 150 * g + 29 * b + 128) >> 8);
            } else if (!ink) {
                out[0] = static_cast<JSAMPLE>(r);
                out[1] = static_cast<JSAMPLE>(g);
                out[2] = static_cast<JSAMPLE>(b);
            } else {
                // Black takes the darkness all three share; the inks the rest.
                const int maximum = std::max({r, g, b});
                const std::uint8_t light[4] = {Light(r, maximum), Light(g, maximum), Light(b, maximum),
                                               static_cast<std::uint8_t>(maximum)};
                for (int c = 0; c < 4; ++c)
                    out[c] = static_cast<JSAMPLE>(inverted ? light[c] : 255 - light[c]);
            }
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    return compressor.Finish();
}

TBitmap ReferenceDecode(const std::vector<std::uint8_t>& jpeg, int* warnings)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    int count = 0;
    info.client_data = &count;
    error.emit_message = [](j_common_ptr common, int level) { *static_cast<int*>(common->client_data) += level < 0; };
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), jpeg.size());
    jpeg_read_header(&info, TRUE);
    const bool grey = info.num_components == 1;
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    info.do_block_smoothing = TRUE;
    jpeg_start_decompress(&info);

    TBitmap picture(static_cast<std::int32_t>(info.output_width), static_cast<std::int32_t>(info.output_height));
    std::vector<JSAMPLE> line(std::size_t{info.output_width} * static_cast<std::size_t>(info.output_components));
    while (info.output_scanline < info.output_height) {
        std::uint8_t* bgr = picture.ScanLine(static_cast<std::int32_t>(info.output_scanline));
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&info, &row, 1);
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            const JSAMPLE* in = line.data() + x * static_cast<JDIMENSION>(info.output_components);
            bgr[3 * x] = grey ? in[0] : in[2];
            bgr[3 * x + 1] = grey ? in[0] : in[1];
            bgr[3 * x + 2] = in[0];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (warnings)
        *warnings = count;
    return picture;
}

int MaxPixelDifference(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        throw std::logic_error("bitmaps of different sizes");
    int worst = 0;
    for (std::int32_t y = 0; y < a.Height(); ++y)
        for (std::int32_t i = 0; i < a.Width() * 3; ++i)
            worst = std::max(worst, std::abs(a.ScanLine(y)[i] - b.ScanLine(y)[i]));
    return worst;
}

void SetTestJpegFrameSize(std::vector<std::uint8_t>& jpeg, unsigned width, unsigned height)
{
    // The height field of the frame header (SOF0 to SOF15) and the width after it.
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] & 0xF0) == 0xC0 && jpeg[i + 1] != 0xC4 && jpeg[i + 1] != 0xCC) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return;
        }
    throw std::logic_error("no frame header");
}

std::vector<std::uint8_t> WithLastScanRepeated(const std::vector<std::uint8_t>& jpeg, int times)
{
    std::size_t sos = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
            sos = i;
    const std::size_t eoi = jpeg.size() - 2;
    std::vector<std::uint8_t> result(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(eoi));
    for (int i = 0; i < times; ++i)
        result.insert(result.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(sos),
                      jpeg.begin() + static_cast<std::ptrdiff_t>(eoi));
    result.insert(result.end(), {0xFF, 0xD9});
    return result;
}

std::filesystem::path TempTestPath(const std::string& name)
{
    return std::filesystem::temp_directory_path() /
           ("kelderwyn-test-" + std::to_string(::getpid()) + "-" + name);
}

void WriteTestFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> ReadTestFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> FlatTestJpeg(const TJpegFrame& frame, const std::vector<TJpegScan>& scans)
{
    if (frame.Arithmetic)
        throw std::logic_error("no arithmetic coding");
    std::vector<std::uint8_t> out{0xFF, 0xD8};
    PutFlatTables(out);
    std::vector<std::uint8_t> sof{8, static_cast<std::uint8_t>(frame.Height >> 8), static_cast<std::uint8_t>(frame.Height),
                                  static_cast<std::uint8_t>(frame.Width >> 8), static_cast<std::uint8_t>(frame.Width),
                                  static_cast<std::uint8_t>(frame.Count)};
    for (int c = 0; c < frame.Count; ++c)
        sof.insert(sof.end(), {static_cast<std::uint8_t>(frame.Components[c].Id),
                               static_cast<std::uint8_t>(frame.Components[c].H << 4 | frame.Components[c].V), 0});
    PutMarker(out, frame.Progressive ? 0xC2 : 0xC0, sof);

    for (const TJpegScan& scan : scans) {
        std::vector<std::uint8_t> sos;
        sos.push_back(static_cast<std::uint8_t>(scan.Count));
        for (int i = 0; i < scan.Count; ++i) {
            sos.push_back(static_cast<std::uint8_t>(frame.Components[scan.Components[i]].Id));
            sos.push_back(0);
        }
        for (int field : {scan.Ss, scan.Se, scan.Ah << 4 | scan.Al})
            sos.push_back(static_cast<std::uint8_t>(field));
        PutMarker(out, 0xDA, sos);
        TBitWriter bits(out);
        const std::uint64_t blocks = ScanBlocks(frame, scan);
        if (frame.Progressive && scan.Ss > 0)
            PutEndOfBands(bits, blocks);
        else
            for (std::uint64_t b = 0; b < blocks; ++b)
                // DC category 0 or a refinement bit 0, and in a sequential
                // scan the end of the block.
                bits.Put(0, frame.Progressive ? 1 : 5);
        bits.Finish();
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

std::vector<std::uint8_t> ArithmeticTestJpeg(unsigned width, unsigned height, bool progressive, int magnitude)
{
    TMemoryCompressor compressor;
    jpeg_compress_struct& info = compressor.Info;
    info.image_width = width;
    info.image_height = height;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    const std::vector<unsigned> steps(DCTSIZE2, 1);
    jpeg_add_quant_table(&info, 0, steps.data(), 100, TRUE);
    info.arith_code = TRUE;
    if (progressive)
        jpeg_simple_progression(&info);
    const auto common = reinterpret_cast<j_common_ptr>(&info);
    const JDIMENSION columns = (width + 7) / 8, rows = (height + 7) / 8;
    jvirt_barray_ptr blocks = (*info.mem->request_virt_barray)(common, JPOOL_IMAGE, TRUE, columns, rows, 1);
    (*info.mem->realize_virt_arrays)(common);
    for (JDIMENSION y = 0; y < rows; ++y) {
        JBLOCKROW row = *(*info.mem->access_virt_barray)(common, blocks, y, 1, TRUE);
        for (JDIMENSION x = 0; x < columns; ++x)
            std::fill(row[x] + 1, row[x] + DCTSIZE2, static_cast<JCOEF>(magnitude));
    }
    jpeg_write_coefficients(&info, &blocks);
    return compressor.Finish();
}

TJpegFrame TestJpegFrame(unsigned width, unsigned height, const std::vector<std::pair<int, int>>& sampling,
                         bool progressive)
{
    TJpegFrame frame;
    frame.Width = width;
    frame.Height = height;
    frame.Progressive = progressive;
    for (const auto& [h, v] : sampling) {
        frame.Components[frame.Count] = {frame.Count + 1, h, v};
        ++frame.Count;
    }
    return frame;
}

std::vector<TJpegScan> SimpleProgression(int components)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_simple_progression(&info);
    std::vector<TJpegScan> scans;
    for (int i = 0; i < info.num_scans; ++i) {
        const jpeg_scan_info& from = info.scan_info[i];
        TJpegScan scan;
        scan.Count = from.comps_in_scan;
        std::copy(from.component_index, from.component_index + from.comps_in_scan, scan.Components);
        scan.Ss = from.Ss;
        scan.Se = from.Se;
        scan.Ah = from.Ah;
        scan.Al = from.Al;
        scans.push_back(scan);
    }
    jpeg_destroy_compress(&info);
    return scans;
}

std::vector<TJpegScan> OneScan(int components)
{
    TJpegScan scan;
    scan.Count = components;
    for (int c = 0; c < components; ++c)
        scan.Components[c] = c;
    return {scan};
}

std::vector<TJpegScan> SplitScans(const std::vector<TJpegScan>& scans)
{
    std::vector<TJpegScan> split;
    for (const TJpegScan& scan : scans)
        for (int i = 0; i < scan.Count; ++i) {
            split.push_back(scan);
            split.back().Count = 1;
            split.back().Components[0] = scan.Components[i];
        }
    return split;
}
