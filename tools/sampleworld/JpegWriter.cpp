// The map picture through libjpeg's compressor, straight into a file.
#include "SampleWorld.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

namespace {

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr info)
{
    TJpegError* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

// The library reports fatal errors by a long jump back here, so nothing in
// this frame has a destructor. Returns false with the message on failure.
bool Compress(std::FILE* file, const std::uint8_t* rgb, std::int32_t width, std::int32_t height, int quality,
              char* message)
{
    jpeg_compress_struct info;
    TJpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegErrorExit;
    error.Manager.output_message = JpegOutputMessage;
    error.Message[0] = '\0';
    if (setjmp(error.Jump)) {
        jpeg_destroy_compress(&info);
        std::memcpy(message, error.Message, JMSG_LENGTH_MAX);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + rowBytes * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

void WriteJpeg(const std::filesystem::path& fileName, const std::vector<std::uint8_t>& rgb, std::int32_t width,
               std::int32_t height, int quality)
{
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        throw std::runtime_error("picture size does not match its pixels");
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot create " + fileName.string() + ": " + std::strerror(errno));
    char message[JMSG_LENGTH_MAX];
    const bool written = Compress(file, rgb.data(), width, height, quality, message);
    const bool closed = std::fclose(file) == 0;
    if (!written)
        throw std::runtime_error("cannot write " + fileName.string() + ": " + message);
    if (!closed)
        throw std::runtime_error("cannot write " + fileName.string() + ": " + std::strerror(errno));
}
