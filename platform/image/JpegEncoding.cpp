#include "platform/image/JpegEncoding.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <cmath>

namespace bw::image {

namespace {

QImage flattenedOntoWhite(const QImage& image) {
    QImage canvas(image.size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, image);
    painter.end();
    return canvas;
}

} // namespace

QByteArray encodeJpeg(const QImage& image, double quality) {
    if (image.isNull()) {
        return {};
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(int(std::lround(std::clamp(quality, 0.0, 1.0) * 100)));
    const bool written = writer.write(image.hasAlphaChannel() ? flattenedOntoWhite(image) : image);
    return written ? data : QByteArray();
}

} // namespace bw::image
