#pragma once

#include <QImage>

namespace bw {

// Our own drawing of a generic application: a rounded tile with a window on it, `side` pixels
// square. Stands in for the icon a desktop would show for a bundle that brings none.
QImage genericAppIcon(int side);

} // namespace bw
