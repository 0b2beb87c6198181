#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

namespace bw::image {

// Decodes Apple's CgBI PNG variant (the form Xcode writes into iOS bundles): a CgBI chunk before
// IHDR, IDAT holding raw deflate data without a zlib wrapper, and pixels stored as premultiplied
// BGRA. Supports 8-bit RGB and RGBA without interlacing, which is what Xcode produces. Absent for
// anything else, for broken data, and for images of more than `maxPixels` pixels.
std::optional<QImage> decodeCgbi(const QByteArray& bytes, qint64 maxPixels);

} // namespace bw::image
