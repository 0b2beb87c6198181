#pragma once

#include <QByteArray>
#include <QSize>
#include <optional>

namespace bw::image {

// What the headers of an image file say about its first image.
struct ImageProbe {
    QSize size;
    // The pixels carry alpha: an alpha channel, or a transparency entry of a PNG.
    bool hasAlpha;

    bool operator==(const ImageProbe&) const = default;
};

// The pixel size and alpha of the first image, read from the headers without decoding pixels
// (PNG, also in Apple's CgBI form, JPEG and HEIC by their own parsers; other formats Qt reads by
// their readers' headers, except that the alpha of formats whose reader cannot tell it from the
// header, GIF and WebP, comes from decoding the first image). Absent when the data is not an
// image with a positive pixel size.
std::optional<ImageProbe> probeImage(const QByteArray& bytes);

} // namespace bw::image
