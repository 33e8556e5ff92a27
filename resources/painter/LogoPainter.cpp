// Draws the two Database-page logos once: a 429 x 97 JPEG and a 215 x 49 8-bit bitmap.
// Run offscreen: QT_QPA_PLATFORM=offscreen tablory_logo_painter <resources folder>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace {

const QColor skyBlue(166, 202, 240);

// A small data grid: header row in sky blue, striped body rows, column rules.
void paintGrid(QPainter& painter, const QRectF& box) {
    const int rows = 5;
    const int columns = 3;
    const qreal rowHeight = box.height() / rows;
    const qreal radius = box.height() / 12;

    QPainterPath outline;
    outline.addRoundedRect(box, radius, radius);
    painter.save();
    painter.setClipPath(outline);
    for (int row = 0; row < rows; ++row) {
        const QRectF band(box.left(), box.top() + row * rowHeight, box.width(), rowHeight);
        QColor fill =
            row == 0 ? skyBlue : (row % 2 ? QColor(250, 250, 252) : QColor(228, 236, 246));
        painter.fillRect(band, fill);
    }
    painter.setPen(QPen(QColor(70, 110, 160), qMax<qreal>(1.0, box.height() / 70)));
    for (int row = 1; row < rows; ++row) {
        const qreal y = box.top() + row * rowHeight;
        painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    }
    for (int column = 1; column < columns; ++column) {
        const qreal x = box.left() + column * box.width() / columns;
        painter.drawLine(QPointF(x, box.top()), QPointF(x, box.bottom()));
    }
    // A key mark in the first header cell, as a table's primary key.
    const qreal cell = rowHeight * 0.5;
    const QPointF keyCentre(box.left() + box.width() / columns / 2, box.top() + rowHeight / 2);
    painter.setPen(QPen(QColor(200, 30, 30), qMax<qreal>(1.2, box.height() / 45)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(keyCentre - QPointF(cell * 0.6, 0), cell * 0.3, cell * 0.3);
    painter.drawLine(keyCentre - QPointF(cell * 0.3, 0), keyCentre + QPointF(cell * 0.8, 0));
    painter.drawLine(keyCentre + QPointF(cell * 0.5, 0),
                     keyCentre + QPointF(cell * 0.5, cell * 0.35));
    painter.restore();

    painter.setPen(QPen(QColor(20, 40, 80), qMax<qreal>(1.0, box.height() / 50)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
}

QImage paintLogo(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(18, 36, 72));
    sky.setColorAt(1.0, QColor(34, 82, 130));
    painter.fillRect(image.rect(), sky);

    const qreal h = size.height();
    const QRectF grid(h * 0.13, h * 0.13, h * 1.15, h * 0.74);
    paintGrid(painter, grid);

    const qreal textLeft = grid.right() + h * 0.2;
    QFont title("DejaVu Sans");
    title.setBold(true);
    title.setPixelSize(qRound(h * 0.46));
    painter.setFont(title);
    painter.setPen(Qt::white);
    const QRectF titleBox(textLeft, h * 0.08, size.width() - textLeft, h * 0.55);
    painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tablory"));

    const qreal ruleY = h * 0.66;
    painter.setPen(QPen(QColor(230, 40, 40), qMax<qreal>(1.0, h / 40)));
    painter.drawLine(QPointF(textLeft, ruleY), QPointF(size.width() - h * 0.13, ruleY));

    QFont tagline("DejaVu Sans");
    tagline.setPixelSize(qMax(8, qRound(h * 0.16)));
    painter.setFont(tagline);
    painter.setPen(skyBlue);
    const QRectF tagBox(textLeft, ruleY + h * 0.03, size.width() - textLeft, h * 0.25);
    painter.drawText(tagBox, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Access Database Creator"));
    return image;
}

bool writeJpeg(const QImage& picture, const QString& path) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&compressor, &buffer, &length);
    compressor.image_width = static_cast<JDIMENSION>(rgb.width());
    compressor.image_height = static_cast<JDIMENSION>(rgb.height());
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 92, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(compressor.next_scanline)));
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);

    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(reinterpret_cast<const char*>(buffer),
                                    static_cast<qint64>(length)) == static_cast<qint64>(length);
    std::free(buffer);
    return written;
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Qt's own writer picks the depth by itself; the logo must be a 256-colour bitmap, so the
// file is laid out by hand: file header, info header, 256 palette entries, bottom-up rows.
bool writeBitmap256(const QImage& picture, const QString& path) {
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
    const auto width = static_cast<std::uint32_t>(indexed.width());
    const auto height = static_cast<std::uint32_t>(indexed.height());
    const std::uint32_t stride = (width + 3) & ~3u;
    const std::uint32_t pixelsAt = 14 + 40 + 256 * 4;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, pixelsAt + stride * height, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, pixelsAt, 4);
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, width, 4);
    putLittleEndian(out, height, 4);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 8, 2);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, stride * height, 4);
    putLittleEndian(out, 3780, 4);
    putLittleEndian(out, 3780, 4);
    putLittleEndian(out, 256, 4);
    putLittleEndian(out, 0, 4);
    const QList<QRgb> colours = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < colours.size() ? colours[i] : 0;
        out.push_back(static_cast<std::uint8_t>(qBlue(colour)));
        out.push_back(static_cast<std::uint8_t>(qGreen(colour)));
        out.push_back(static_cast<std::uint8_t>(qRed(colour)));
        out.push_back(0);
    }
    for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
        const uchar* row = indexed.constScanLine(y);
        out.insert(out.end(), row, row + width);
        out.insert(out.end(), stride - width, 0);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(out.data()), static_cast<qint64>(out.size())) ==
               static_cast<qint64>(out.size());
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool ok = writeJpeg(paintLogo(QSize(429, 97)), folder.filePath("logo.jpg")) &&
                    writeBitmap256(paintLogo(QSize(215, 49)), folder.filePath("logo256.bmp"));
    if (!ok) std::fprintf(stderr, "could not write the logos into %s\n", argv[1]);
    return ok ? 0 : 1;
}
