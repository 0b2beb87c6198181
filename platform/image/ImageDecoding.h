#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>
#include <vector>

// Decoding of image files that may come from untrusted bundles: PNG (also Apple's CgBI form),
// JPEG, ICNS and the other formats Qt reads. Sizes come from headers, so an image that declares
// more pixels than a caller allows is never decoded.
namespace bw::image {

// Larger images are refused: 64 million pixels already take 256 MB once decoded.
inline constexpr qint64 maxDecodedPixels = 64'000'000;

// The pixel size of each image the data holds, in order, read without decoding pixels. Members
// whose size cannot be read that way are left out; unreadable data gives the empty list.
std::vector<QSize> imageSizes(const QByteArray& bytes);

// Decodes only the image with the largest area among those of at most `maxPixels` pixels (the
// earlier one on a tie); should that one fail to decode, the next largest is tried. Absent when
// no image decodes.
std::optional<QImage> decodeLargestImage(const QByteArray& bytes,
                                         qint64 maxPixels = maxDecodedPixels);

} // namespace bw::image
