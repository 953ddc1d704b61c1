#include "JpegImage.h"

#include "Errors.h"
#include "FileIO.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include <sys/mman.h>

#include <jpeglib.h>
#include <jerror.h>
// The entropy decoder's routines, which the arithmetic decoder's work is
// counted around.
#include <jpegint.h>

namespace {

// A whole-image coefficient array of a multi-scan file: Rows rows of
// BlocksPerRow blocks in one mapping of its own. libjpeg sees it only
// through the pointer RequestBlockArray hands out.
struct TBlockArray {
    JDIMENSION BlocksPerRow;
    JDIMENSION Rows;
    JBLOCKARRAY RowStarts;
    void* Memory;
    std::size_t Bytes;
};

// What the callbacks reach through libjpeg's error pointer. A fatal libjpeg
// error leaves through longjmp back into the guarded function that made the
// libjpeg call; only libjpeg's C frames and these callbacks lie in between,
// so no C++ destructor is skipped. The guarded function returns, and its
// caller destroys the decompressor and throws.
struct TDecodeState {
    jpeg_error_mgr Pub; // first member: libjpeg hands back a pointer to it
    std::jmp_buf Jump;
    bool TooManyScans;
    bool TooMuchScanWork;
    // The backstop: the scan work of every row of MCUs libjpeg has taken in,
    // and the work of the arithmetic-coded coefficients it has decoded.
    TJpegFrame Frame;
    std::uint64_t ScanWork;
    std::uint64_t ScanWorkLimit;
    int Scan;
    JDIMENSION Row;
    // libjpeg's own routines of its arithmetic decoder, which the counting
    // ones call, and the scan they decode.
    void (*StartPass)(j_decompress_ptr);
    boolean (*DecodeMcu)(j_decompress_ptr, JBLOCKROW*);
    TJpegScan CodedScan;
    bool WholeValues;
    int PointTransform;
    // The coefficient arrays, and the bytes they may take together.
    TBlockArray Arrays[MaxJpegComponents];
    int ArrayCount;
    std::uint64_t ArrayBytes;
    std::uint64_t ArrayByteLimit;
    void (*RealizeLibjpegArrays)(j_common_ptr);
};

TDecodeState& StateOf(j_common_ptr info)
{
    return *reinterpret_cast<TDecodeState*>(info->err);
}

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    std::longjmp(StateOf(info).Jump, 1);
}

[[noreturn]] void Raise(j_common_ptr info, int code)
{
    info->err->msg_code = code;
    std::memset(&info->err->msg_parm, 0, sizeof info->err->msg_parm);
    ErrorExit(info);
}

void EmitMessage(j_common_ptr, int) {}

void OutputMessage(j_common_ptr) {}

// Blocks of the current scan in row `row` of its MCUs, as libjpeg takes them in.
std::uint64_t RowBlocks(const jpeg_decompress_struct& info, JDIMENSION row)
{
    if (info.comps_in_scan > 1)
        return std::uint64_t{info.MCUs_per_row} * static_cast<unsigned>(info.blocks_in_MCU);
    const jpeg_component_info& component = *info.cur_comp_info[0];
    const int rows = row + 1 == info.total_iMCU_rows ? component.last_row_height : component.v_samp_factor;
    return std::uint64_t{component.width_in_blocks} * static_cast<unsigned>(rows);
}

// Charges the decisions of the arithmetic-coded AC coefficients of each MCU
// as libjpeg decodes them (JpegLayout.h). For a progressive first scan of AC
// coefficients libjpeg stores the values with no point transform (see
// CountScan), so that none is cut off before it is counted; the values it
// wrote are shifted here as libjpeg would have stored them, and the rest of
// the block is left as it was.
boolean CountedDecodeMcu(j_decompress_ptr info, JBLOCKROW* blocks)
{
    TDecodeState& state = StateOf(reinterpret_cast<j_common_ptr>(info));
    JCOEF* const block = blocks[0][0];
    JCOEF before[DCTSIZE2];
    if (state.WholeValues) {
        std::memcpy(before, block, sizeof before);
        std::memset(block, 0, sizeof before);
    }
    const boolean decoded = (*state.DecodeMcu)(info, blocks);
    for (int i = 0; i < info->blocks_in_MCU; ++i)
        state.ScanWork += ArithmeticCoefficientWork(state.Frame, state.CodedScan, blocks[i][0]);
    if (state.WholeValues)
        for (int k = 0; k < DCTSIZE2; ++k)
            block[k] = block[k] != 0 ? static_cast<JCOEF>(static_cast<unsigned>(block[k]) << state.PointTransform)
                                     : before[k];
    if (state.ScanWork > state.ScanWorkLimit) {
        state.TooMuchScanWork = true;
        ErrorExit(reinterpret_cast<j_common_ptr>(info));
    }
    return decoded;
}

// Puts CountedDecodeMcu in place of the routine libjpeg chose for the scan
// that starts. A progressive first scan of AC coefficients, whose values
// libjpeg would shift by the point transform Al and so lose their top bits,
// is decoded with Al = 0: libjpeg reads Al for nothing else once the scan has
// started, and the next scan header sets it again.
void CountScan(j_decompress_ptr info)
{
    TDecodeState& state = StateOf(reinterpret_cast<j_common_ptr>(info));
    state.DecodeMcu = info->entropy->decode_mcu;
    info->entropy->decode_mcu = CountedDecodeMcu;
    state.CodedScan.Ss = info->Ss;
    state.CodedScan.Se = info->Se;
    state.CodedScan.Ah = info->Ah;
    state.CodedScan.Al = info->Al;
    state.WholeValues = info->progressive_mode && info->Ss > 0 && info->Ah == 0;
    state.PointTransform = state.WholeValues ? info->Al : 0;
    if (state.WholeValues)
        info->Al = 0;
}

void CountedStartPass(j_decompress_ptr info)
{
    (*StateOf(reinterpret_cast<j_common_ptr>(info)).StartPass)(info);
    CountScan(info);
}

// libjpeg reports here before each step of its work; since the last report
// it may have taken in one more row of MCUs of the current scan. Its entropy
// decoder exists by the first report after the header, and has decoded
// nothing yet; an arithmetic one gets the counting routines then.
void MonitorProgress(j_common_ptr info)
{
    auto& decompress = *reinterpret_cast<j_decompress_ptr>(info);
    TDecodeState& state = StateOf(info);
    if (decompress.arith_code && decompress.entropy && decompress.entropy->start_pass != CountedStartPass) {
        state.StartPass = decompress.entropy->start_pass;
        decompress.entropy->start_pass = CountedStartPass;
        CountScan(&decompress);
    }
    if (decompress.input_scan_number > TJPEGImage::MaxScans) {
        state.TooManyScans = true;
        ErrorExit(info);
    }
    if (decompress.input_scan_number == state.Scan && decompress.input_iMCU_row > state.Row) {
        TJpegScan scan;
        scan.Ss = decompress.Ss;
        scan.Se = decompress.Se;
        scan.Ah = decompress.Ah;
        const std::uint64_t weight = ScanWeight(state.Frame, scan);
        for (JDIMENSION row = state.Row; row < decompress.input_iMCU_row; ++row)
            state.ScanWork += RowBlocks(decompress, row) * weight;
    }
    state.Scan = decompress.input_scan_number;
    state.Row = decompress.input_iMCU_row;
    if (state.ScanWork > state.ScanWorkLimit) {
        state.TooMuchScanWork = true;
        ErrorExit(info);
    }
}

// The coefficient arrays, libjpeg's largest buffers by far, are ours: each is
// a fresh mapping, zero as libjpeg expects, asked to be backed by huge pages.
// On 4 KiB pages the first touch of the 600 MB of a 100-megapixel file costs
// more than the rest of its decode.
jvirt_barray_ptr RequestBlockArray(j_common_ptr info, int, boolean, JDIMENSION blocksPerRow, JDIMENSION rows,
                                   JDIMENSION)
{
    TDecodeState& state = StateOf(info);
    if (state.ArrayCount == MaxJpegComponents)
        Raise(info, JERR_OUT_OF_MEMORY);
    TBlockArray& array = state.Arrays[state.ArrayCount++];
    array.BlocksPerRow = blocksPerRow;
    array.Rows = rows;
    return reinterpret_cast<jvirt_barray_ptr>(&array);
}

void RealizeArrays(j_common_ptr info)
{
    TDecodeState& state = StateOf(info);
    state.RealizeLibjpegArrays(info);
    for (int i = 0; i < state.ArrayCount; ++i) {
        TBlockArray& array = state.Arrays[i];
        if (array.Memory)
            continue;
        std::size_t bytes = 0;
        if (__builtin_mul_overflow(std::size_t{array.BlocksPerRow} * sizeof(JBLOCK), std::size_t{array.Rows}, &bytes) ||
            bytes > state.ArrayByteLimit - state.ArrayBytes)
            Raise(info, JERR_OUT_OF_MEMORY);
        void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            Raise(info, JERR_OUT_OF_MEMORY);
#ifdef MADV_HUGEPAGE
        ::madvise(memory, bytes, MADV_HUGEPAGE);
#endif
        array.Memory = memory;
        array.Bytes = bytes;
        state.ArrayBytes += bytes;
        array.RowStarts = static_cast<JBLOCKARRAY>(
            (*info->mem->alloc_large)(info, JPOOL_IMAGE, std::size_t{array.Rows} * sizeof(JBLOCKROW)));
        for (JDIMENSION row = 0; row < array.Rows; ++row)
            array.RowStarts[row] = static_cast<JBLOCKROW>(memory) + std::size_t{row} * array.BlocksPerRow;
    }
}

JBLOCKARRAY AccessBlockArray(j_common_ptr info, jvirt_barray_ptr pointer, JDIMENSION startRow, JDIMENSION rows,
                             boolean)
{
    const TBlockArray& array = *reinterpret_cast<const TBlockArray*>(pointer);
    if (!array.RowStarts || startRow > array.Rows || rows > array.Rows - startRow)
        Raise(info, JERR_BAD_VIRTUAL_ACCESS);
    return array.RowStarts + startRow;
}

std::string TooManyScansMessage()
{
    return "JPEG image has more than " + std::to_string(TJPEGImage::MaxScans) + " scans";
}

const char TooMuchScanWorkMessage[] = "JPEG image has too many scans for its size";

std::string TooSlowMessage(std::uint64_t bytes)
{
    return "JPEG image too slow to decode (" + std::to_string(bytes) + " bytes of compressed data)";
}

std::string FileTooLargeMessage(std::uintmax_t bytes)
{
    return "JPEG file too large (" + std::to_string(bytes) + " bytes)";
}

class TDecompressor {
public:
    // fileName is what the errors name and fileBytes its size; arrayBytes
    // bounds the coefficient arrays and whatever libjpeg keeps in arrays of
    // its own (it has no backing store); scanWorkLimit bounds the work the
    // progress monitor counts.
    explicit TDecompressor(const std::string& fileName, std::uint64_t fileBytes = 0, std::uint64_t arrayBytes = 0,
                           std::uint64_t scanWorkLimit = 0)
        : FileName(fileName), FileBytes(fileBytes)
    {
        Info.err = jpeg_std_error(&Error.Pub);
        Error.Pub.error_exit = ErrorExit;
        Error.Pub.emit_message = EmitMessage;
        Error.Pub.output_message = OutputMessage;
        Error.ScanWorkLimit = scanWorkLimit;
        Error.ArrayByteLimit = arrayBytes;
        if (setjmp(Error.Jump)) {
            jpeg_destroy_decompress(&Info);
            Fail();
        }
        jpeg_create_decompress(&Info);
        // libjpeg takes its default from JPEGMEM, which must not decide here;
        // to libjpeg 0 would mean no bound at all.
        Info.mem->max_memory_to_use =
            static_cast<long>(std::clamp<std::uint64_t>(arrayBytes, 1, std::numeric_limits<long>::max()));
        Error.RealizeLibjpegArrays = Info.mem->realize_virt_arrays;
        Info.mem->request_virt_barray = RequestBlockArray;
        Info.mem->realize_virt_arrays = RealizeArrays;
        Info.mem->access_virt_barray = AccessBlockArray;
        Progress.progress_monitor = MonitorProgress;
        Info.progress = &Progress;
    }
    ~TDecompressor()
    {
        jpeg_destroy_decompress(&Info);
        for (int i = 0; i < Error.ArrayCount; ++i)
            if (Error.Arrays[i].Memory)
                ::munmap(Error.Arrays[i].Memory, Error.Arrays[i].Bytes);
    }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;

    // Throws what stopped libjpeg: a limit, or libjpeg's error with its own
    // words for it, from its message table.
    [[noreturn]] void Fail()
    {
        if (Error.TooManyScans)
            throw EJPEG(TooManyScansMessage());
        // In an arithmetic-coded file the scans' count holds the work of the
        // coefficients, which is what the data asks for.
        if (Error.TooMuchScanWork)
            throw EJPEG(Error.Frame.Arithmetic ? TooSlowMessage(FileBytes) : TooMuchScanWorkMessage);
        char words[JMSG_LENGTH_MAX] = {};
        (*Error.Pub.format_message)(reinterpret_cast<j_common_ptr>(&Info), words);
        throw EJPEG("JPEG error #" + std::to_string(Error.Pub.msg_code), words, FileName);
    }

    const std::string FileName;
    const std::uint64_t FileBytes;
    jpeg_decompress_struct Info{};
    TDecodeState Error{};
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

TJpegFrame FrameOf(const jpeg_decompress_struct& info)
{
    TJpegFrame frame;
    frame.Width = info.image_width;
    frame.Height = info.image_height;
    frame.Count = std::min(info.num_components, MaxJpegComponents);
    for (int c = 0; c < frame.Count; ++c)
        frame.Components[c] = {info.comp_info[c].component_id, info.comp_info[c].h_samp_factor,
                               info.comp_info[c].v_samp_factor};
    frame.Progressive = info.progressive_mode != FALSE;
    frame.Arithmetic = info.arith_code != FALSE;
    return frame;
}

// The memory a decode needs: the file, the bitmap, and for a multi-scan file
// libjpeg's coefficient arrays; saturated when it overflows.
std::uint64_t DecodeBytes(const TJpegFrame& frame, bool multiScan, std::size_t fileBytes)
{
    std::uint64_t bitmap = 0, total = 0;
    if (__builtin_mul_overflow(std::uint64_t{TBitmap::StrideFor(static_cast<std::int32_t>(frame.Width))}, frame.Height,
                               &bitmap) ||
        __builtin_add_overflow(bitmap, std::uint64_t{fileBytes}, &total) ||
        __builtin_add_overflow(total, multiScan ? CoefficientBytes(frame) : 0, &total))
        return std::numeric_limits<std::uint64_t>::max();
    return total;
}

void CheckImageSize(const TJpegFrame& frame, bool multiScan, std::size_t fileBytes)
{
    if (std::uint64_t{frame.Width} * frame.Height > TJPEGImage::MaxImagePixels ||
        DecodeBytes(frame, multiScan, fileBytes) > TJPEGImage::MaxDecodeBytes)
        throw EJPEG("JPEG image too large (" + std::to_string(frame.Width) + " x " + std::to_string(frame.Height) +
                    " pixels)");
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
        throw EJPEG(FileTooLargeMessage(size));
}

} // namespace

void TJPEGImage::LoadFromFile(const std::string& fileName)
{
    const TFilePtr file = OpenForReading(fileName);
    const std::uint64_t size = FileSize(file.get(), fileName);
    CheckFileSize(size);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    data.resize(ReadFully(file.get(), data.data(), data.size(), fileName));
    Load(std::move(data), fileName);
}

void TJPEGImage::LoadFromMemory(const std::uint8_t* data, std::size_t size)
{
    CheckFileSize(size);
    Load(std::vector<std::uint8_t>(data, data + size), {});
}

void TJPEGImage::Load(std::vector<std::uint8_t> data, const std::string& fileName)
{
    TDecompressor decoder(fileName);
    if (!ReadHeader(decoder, data.data(), data.size()))
        decoder.Fail();
    const TJpegFrame frame = FrameOf(decoder.Info);
    const TJpegScanTotals scans = WalkJpegScans(frame, data.data(), data.size());
    CheckImageSize(frame, scans.MultiScan, data.size());
    FData = std::move(data);
    FFileName = fileName;
    FFrame = frame;
    FScans = scans;
}

void TJPEGImage::DecodeInto(TBitmap& bitmap) const
{
    if (FData.empty()) {
        bitmap = TBitmap();
        return;
    }
    if (FScans.Scans > MaxScans)
        throw EJPEG(TooManyScansMessage());
    const std::uint64_t dataWork = DataWork();
    if (dataWork > MaxDecodeWork || FScans.Work > MaxDecodeWork - dataWork)
        throw EJPEG(dataWork > FScans.Work ? TooSlowMessage(FData.size()) : TooMuchScanWorkMessage);
    TDecompressor decoder(FFileName, FData.size(), MaxDecodeBytes - DecodeBytes(FFrame, false, FData.size()),
                          std::min(FScanWorkLimit, MaxDecodeWork - dataWork));
    decoder.Error.Frame = FFrame;
    if (!ReadHeader(decoder, FData.data(), FData.size()))
        decoder.Fail();
    jpeg_decompress_struct& info = decoder.Info;

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
