#pragma once

#include "ui/design/Motion.h"

class QWidget;

namespace bw::workspace {

// Fades `widget` in while it rises into place from `distance` points below (comes down from above
// when negative), starting after `delayMs`. Only the drawing moves, never the layout, and the
// effect removes itself once done. Nothing runs when the motion is instant (reduce motion).
void playEntrance(QWidget* widget, qreal distance, const design::Motion& motion, int delayMs = 0);

} // namespace bw::workspace
