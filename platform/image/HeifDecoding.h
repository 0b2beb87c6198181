#pragma once

#include "platform/image/ImageProbe.h"

#include <QByteArray>
#include <QImage>
#include <optional>

// HEIC and other HEIF files through libheif. Linking these functions also makes HEIC readable
// for QImageReader, under the formats "heic" and "heif".
namespace bw::image {

// The data starts like a HEIF file that libheif can read.
bool isHeif(const QByteArray& bytes);

// Size and alpha of the primary image, with its rotation and mirroring applied, read from the
// container without decoding.
std::optional<ImageProbe> probeHeif(const QByteArray& bytes);

// The primary image with rotation and mirroring applied; absent when it cannot be decoded or has
// more than `maxPixels` pixels (checked before decoding).
std::optional<QImage> decodeHeif(const QByteArray& bytes, qint64 maxPixels);

} // namespace bw::image
