#include "platform/image/PngEncoding.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>

namespace bw::image {

QByteArray encodePng(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    // Only the pixels and a colour space other than sRGB (which readers assume): text chunks and
    // the like of a source file stay out.
    QImage pixels(image.constBits(), image.width(), image.height(), image.bytesPerLine(),
                  image.format());
    if (image.colorSpace().isValid() && image.colorSpace() != QColorSpace::SRgb) {
        pixels.setColorSpace(image.colorSpace());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(pixels)) {
        return {};
    }
    return bytes;
}

} // namespace bw::image
