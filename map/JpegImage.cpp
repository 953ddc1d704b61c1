#include "JpegImage.h"

#include "Errors.h"
#include "FileIO.h"

#include <csetjmp>
#include <cstdio>
#include <limits>
#include <utility>

#include <jpeglib.h>

namespace {

// A fatal libjpeg error leaves through longjmp back into the guarded function
// that made the libjpeg call; only libjpeg's C frames and these callbacks lie
// in between, so no C++ destructor is skipped. The guarded function returns,
// and its caller destroys the decompressor and throws.
struct TErrorManager {
    jpeg_error_mgr Pub; // first member: libjpeg hands back a pointer to it
    std::jmp_buf Jump;
    bool TooManyScans;
    bool TooMuchScanWork;
    std::uint64_t ScanWork;
    std::uint64_t ScanWorkLimit;
};

void ErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TErrorManager*>(info->err)->Jump, 1);
}

void EmitMessage(j_common_ptr, int) {}

void OutputMessage(j_common_ptr) {}

void MonitorProgress(j_common_ptr info)
{
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    auto* error = reinterpret_cast<TErrorManager*>(info->err);
    if (decompress->input_scan_number > TJPEGImage::MaxScans) {
        error->TooManyScans = true;
        std::longjmp(error->Jump, 1);
    }
    // libjpeg reports here before each row of MCUs it takes in or puts out;
    // a row costs at most about its width.
    error->ScanWork += decompress->image_width;
    if (error->ScanWork > error->ScanWorkLimit) {
        error->TooMuchScanWork = true;
        std::longjmp(error->Jump, 1);
    }
}

class TDecompressor {
public:
    explicit TDecompressor(std::uint64_t scanWorkLimit = TJPEGImage::MaxScanWork)
    {
        Info.err = jpeg_std_error(&Error.Pub);
        Error.Pub.error_exit = ErrorExit;
        Error.Pub.emit_message = EmitMessage;
        Error.Pub.output_message = OutputMessage;
        Error.TooManyScans = false;
        Error.TooMuchScanWork = false;
        Error.ScanWork = 0;
        Error.ScanWorkLimit = scanWorkLimit;
        if (setjmp(Error.Jump)) {
            jpeg_destroy_decompress(&Info);
            Fail();
        }
        jpeg_create_decompress(&Info);
        // libjpeg takes its default from JPEGMEM; a small value there would
        // make every progressive file fail for want of a backing store.
        Info.mem->max_memory_to_use = TJPEGImage::MaxWorkingMemory;
        Progress.progress_monitor = MonitorProgress;
        Info.progress = &Progress;
    }
    ~TDecompressor() { jpeg_destroy_decompress(&Info); }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;

    [[noreturn]] void Fail() const
    {
        if (Error.TooManyScans)
            throw EJPEG("JPEG image has more than " + std::to_string(TJPEGImage::MaxScans) + " scans");
        if (Error.TooMuchScanWork)
            throw EJPEG("JPEG image has too many scans for its size");
        throw EJPEG("JPEG error #" + std::to_string(Error.Pub.msg_code));
    }

    jpeg_decompress_struct Info{};
    TErrorManager Error{};
    jpeg_progress_mgr Progress{};
};

bool ReadHeader(TDecompressor& decoder, const std::uint8_t* data, std::size_t size)
{
    if (setjmp(decoder.Error.Jump))
        return false;
    jpeg_mem_src(&decoder.Info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&decoder.Info, TRUE);
    return true;
}

void CheckImageSize(JDIMENSION width, JDIMENSION height)
{
    constexpr JDIMENSION MaxSide = std::numeric_limits<std::int32_t>::max();
    std::size_t bytes = 0;
    if (width > MaxSide || height > MaxSide ||
        __builtin_mul_overflow(TBitmap::StrideFor(static_cast<std::int32_t>(width)), std::size_t{height}, &bytes) ||
        bytes > TJPEGImage::MaxImageBytes)
        throw EJPEG("JPEG image too large (" + std::to_string(width) + " x " + std::to_string(height) + " pixels)");
}

std::uint8_t Scale255(unsigned a, unsigned b)
{
    return static_cast<std::uint8_t>((a * b + 127) / 255);
}

// Inverted CMYK holds 255 - ink, which is the light each ink lets through.
void CmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, JDIMENSION width, bool inverted)
{
    const unsigned flip = inverted ? 0 : 255;
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned c = cmyk[0] ^ flip, m = cmyk[1] ^ flip, y = cmyk[2] ^ flip, k = cmyk[3] ^ flip;
        bgr[0] = Scale255(y, k);
        bgr[1] = Scale255(m, k);
        bgr[2] = Scale255(c, k);
    }
}

enum class TOutcome { Done, Failed, WrongSize };

// Without cmykRows libjpeg stores blue, green, red straight into bitmapRows;
// with them it stores CMYK there, chunkHeight rows at a time, converted after
// each call.
TOutcome DecodeRows(TDecompressor& decoder, JSAMPROW* bitmapRows, JSAMPROW* cmykRows, int chunkHeight, bool inverted)
{
    if (setjmp(decoder.Error.Jump))
        return TOutcome::Failed;
    jpeg_decompress_struct& info = decoder.Info;
    jpeg_start_decompress(&info);
    if (info.output_width != info.image_width || info.output_height != info.image_height ||
        info.output_components != (cmykRows ? 4 : 3))
        return TOutcome::WrongSize;
    while (info.output_scanline < info.output_height) {
        const JDIMENSION first = info.output_scanline;
        if (!cmykRows) {
            jpeg_read_scanlines(&info, bitmapRows + first, info.output_height - first);
            continue;
        }
        const JDIMENSION count = jpeg_read_scanlines(&info, cmykRows, static_cast<JDIMENSION>(chunkHeight));
        for (JDIMENSION i = 0; i < count; ++i)
            CmykToBgr(cmykRows[i], bitmapRows[first + i], info.output_width, inverted);
    }
    jpeg_finish_decompress(&info);
    return TOutcome::Done;
}

void CheckFileSize(std::uint64_t size)
{
    if (size > TJPEGImage::MaxFileBytes)
        throw EJPEG("JPEG file too large (" + std::to_string(size) + " bytes)");
}

} // namespace

void TJPEGImage::LoadFromFile(const std::string& fileName)
{
    const TFilePtr file = OpenForReading(fileName);
    const std::uint64_t size = FileSize(file.get(), fileName);
    CheckFileSize(size);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    data.resize(ReadFully(file.get(), data.data(), data.size(), fileName));
    Load(std::move(data));
}

void TJPEGImage::LoadFromMemory(const std::uint8_t* data, std::size_t size)
{
    CheckFileSize(size);
    Load(std::vector<std::uint8_t>(data, data + size));
}

void TJPEGImage::Load(std::vector<std::uint8_t> data)
{
    TDecompressor decoder;
    if (!ReadHeader(decoder, data.data(), data.size()))
        decoder.Fail();
    CheckImageSize(decoder.Info.image_width, decoder.Info.image_height);
    FData = std::move(data);
    FWidth = static_cast<std::int32_t>(decoder.Info.image_width);
    FHeight = static_cast<std::int32_t>(decoder.Info.image_height);
    FComponents = decoder.Info.num_components;
    FProgressive = decoder.Info.progressive_mode != FALSE;
}

void TJPEGImage::DecodeInto(TBitmap& bitmap) const
{
    if (FData.empty()) {
        bitmap = TBitmap();
        return;
    }
    TDecompressor decoder(FScanWorkLimit);
    if (!ReadHeader(decoder, FData.data(), FData.size()))
        decoder.Fail();
    jpeg_decompress_struct& info = decoder.Info;
    CheckImageSize(info.image_width, info.image_height);

    const bool cmyk = info.num_components == 4;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    info.do_block_smoothing = TRUE;
    info.quantize_colors = FALSE;
    info.scale_num = 1;
    info.scale_denom = 1;
    info.buffered_image = FALSE;
    info.raw_data_out = FALSE;

    const auto width = static_cast<std::int32_t>(info.image_width);
    const auto height = static_cast<std::int32_t>(info.image_height);
    TBitmap decoded(width, height);
    std::vector<JSAMPROW> bitmapRows(static_cast<std::size_t>(height));
    if (!decoded.Empty()) {
        std::uint8_t* bits = decoded.Bits();
        for (std::size_t y = 0; y < bitmapRows.size(); ++y)
            bitmapRows[y] = bits + y * decoded.RowStride();
    }

    constexpr int ChunkHeight = 16;
    std::vector<std::uint8_t> cmykBuffer;
    std::vector<JSAMPROW> cmykRows;
    if (cmyk) {
        const std::size_t cmykStride = std::size_t{info.image_width} * 4;
        cmykBuffer.resize(cmykStride * ChunkHeight);
        for (int i = 0; i < ChunkHeight; ++i)
            cmykRows.push_back(cmykBuffer.data() + cmykStride * static_cast<std::size_t>(i));
    }

    switch (DecodeRows(decoder, bitmapRows.data(), cmyk ? cmykRows.data() : nullptr, ChunkHeight,
                       info.saw_Adobe_marker != FALSE)) {
    case TOutcome::Done:
        break;
    case TOutcome::Failed:
        decoder.Fail();
    case TOutcome::WrongSize:
        throw EJPEG("JPEG decoder output does not match the image size");
    }
    bitmap = std::move(decoded);
}
