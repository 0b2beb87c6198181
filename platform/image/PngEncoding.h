#pragma once

#include <QByteArray>
#include <QImage>

namespace bw::image {

// The image's pixels (and colour space) as PNG data, without the text and other metadata it
// was read with; empty when it cannot be encoded.
QByteArray encodePng(const QImage& image);

} // namespace bw::image
