#pragma once

#include "ui/design/Motion.h"

class QWidget;

namespace bw::design {

// Brings `widget` in from hidden and `rise` points low (negative: from above) with `motion`,
// starting `delayMs` after the next frame has shown it hidden. Only its drawing moves, never its
// layout, and only the part that can be seen is drawn, so a list thousands of points tall fades
// in at the cost of one screenful; the effect removes itself once done. An instant motion changes
// nothing.
void playEntrance(QWidget* widget, qreal rise, const Motion& motion, int delayMs = 0);

// The entrance of a list screen: the first time `screen` is shown, its `column` fades in rising
// 6 points (skipped under reduce motion).
void enterOnFirstShow(QWidget* screen, QWidget* column);

} // namespace bw::design
