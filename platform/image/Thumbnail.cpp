#include "platform/image/Thumbnail.h"

#include "platform/image/CgbiDecoder.h"
#include "platform/image/ExifOrientation.h"
#include "platform/image/ImageProbe.h"
#include "platform/image/PngChunks.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cmath>

namespace bw::image {

namespace {

// `size` shrunk to fit `maxSide` on its longer side, keeping its aspect ratio.
QSize fitted(QSize size, int maxSide) {
    const int longer = std::max(size.width(), size.height());
    if (longer <= maxSide) {
        return size;
    }
    const double scale = double(maxSide) / longer;
    return {std::max(1, int(std::lround(size.width() * scale))),
            std::max(1, int(std::lround(size.height() * scale)))};
}

std::optional<QImage> decodeFirst(const QByteArray& bytes, QSize target, qint64 maxPixels) {
    if (const auto header = readPngHeader(bytes); header && header->cgbi) {
        return decodeCgbi(bytes, maxPixels);
    }
    if (hasPngSignature(bytes) && !pngChunksFitInData(bytes)) {
        return std::nullopt;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false); // orientation is applied once, below
    // JPEG can decode straight at a reduced scale, which saves most of the work.
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        reader.setScaledSize(target);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

} // namespace

std::optional<QImage> makeThumbnail(const QByteArray& bytes, int maxSide, qint64 maxPixels) {
    const auto probe = probeImage(bytes);
    if (!probe || qint64(probe->size.width()) * probe->size.height() > maxPixels) {
        return std::nullopt;
    }
    auto image = decodeFirst(bytes, fitted(probe->size, maxSide), maxPixels);
    // A decoder must not hand back more than the header promised.
    if (!image || qint64(image->width()) * image->height() > maxPixels) {
        return std::nullopt;
    }
    const QSize target = fitted(image->size(), maxSide);
    if (target != image->size()) {
        *image = image->scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return applyOrientation(*image, exifOrientation(bytes));
}

} // namespace bw::image
