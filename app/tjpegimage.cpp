#include "app/tjpegimage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the
// decoder with the message kept. No C++ object with a destructor lives between setjmp and the
// calls that may jump.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void silence(j_common_ptr, int) {}

// Returns false with manager.message set on failure; image must already be allocated by the
// header pass, so this function only writes into it.
bool decodeInto(jpeg_decompress_struct& info, ErrorManager& manager, const QByteArray& data,
                QImage& image) {
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width > 16384 || info.output_height > 16384) {
        jpeg_destroy_decompress(&info);
        std::snprintf(manager.message, sizeof manager.message, "Unsupported JPEG picture");
        return false;
    }
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QImage TJPEGImage::Decode(const QByteArray& data) {
    jpeg_decompress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = errorExit;
    manager.base.emit_message = silence;
    QImage image;
    if (!decodeInto(info, manager, data, image)) {
        throw EJPEGError(manager.message);
    }
    return image;
}

QImage TJPEGImage::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EJPEGError(QStringLiteral("Cannot open file \"%1\". %2")
                             .arg(fileName, file.errorString())
                             .toStdString());
    }
    return Decode(file.readAll());
}
