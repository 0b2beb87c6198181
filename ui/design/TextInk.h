#pragma once

#include <QRectF>
#include <vector>

class QWidget;

namespace bw::design {

// Where the texts that `widget` itself paints (not its children) put their ink, in its own
// coordinates: measured by painting it once without drawing anything. Texts too faint to see
// are left out.
std::vector<QRectF> textInk(QWidget& widget);

} // namespace bw::design
