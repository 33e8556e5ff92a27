#include "database/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace database {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return; it jumps back to
// the decoding function, which then tells its caller the data could not be read.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

// Between setjmp and any libjpeg call, this function holds only trivially destructible locals,
// so a jump back skips no destructor; the image belongs to the caller.
bool decodeInto(jpeg_decompress_struct& info, ErrorManager& errors,
                std::span<const unsigned char> data, QImage& image) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) return false;
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(std::span<const unsigned char> data) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpBack;
    errors.base.output_message = ignoreMessage;
    QImage image;
    const bool decoded = decodeInto(info, errors, data, image);
    jpeg_destroy_decompress(&info);
    return decoded ? image : QImage();
}

} // namespace database
