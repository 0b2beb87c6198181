#pragma once

#include <QByteArray>
#include <QImage>

namespace bw::image {

// The EXIF orientation (1 to 8; 1 is upright) of JPEG data (APP1 segment) or PNG data (eXIf
// chunk); 1 when there is none or it cannot be read. HEIF states its rotation in the container,
// which its decoder applies.
int exifOrientation(const QByteArray& bytes);

// The image turned and mirrored as the orientation asks, so that it shows upright.
QImage applyOrientation(const QImage& image, int orientation);

} // namespace bw::image
