#pragma once

#include "platform/image/ImageDecoding.h"

#include <QByteArray>
#include <QImage>
#include <optional>

namespace bw::image {

// The first image of the data, turned upright (EXIF orientation, HEIF rotation) and scaled so
// that its longer side is at most `maxSide` pixels; smaller images keep their size. Absent when
// the image cannot be decoded or has more than `maxPixels` pixels, which is checked from the
// headers before any pixel is decoded.
std::optional<QImage> makeThumbnail(const QByteArray& bytes, int maxSide,
                                    qint64 maxPixels = maxDecodedPixels);

} // namespace bw::image
