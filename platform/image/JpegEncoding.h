#pragma once

#include <QByteArray>
#include <QImage>

namespace bw::image {

// The image as baseline JPEG data at `quality` (0 to 1). JPEG has no alpha: translucent pixels
// are laid onto white first, so that transparent areas do not turn black. Empty when the image
// cannot be encoded.
QByteArray encodeJpeg(const QImage& image, double quality);

} // namespace bw::image
