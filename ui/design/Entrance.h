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

// Lets what `widget` shows now leave with `motion`: a picture of its visible part fades out over
// the place it held while sinking `drop` points (negative: rising), drawn above its siblings. The
// widget itself is free to change or go at once; an instant motion draws nothing. The picture is
// a widget named "leaving" until it has gone.
void playExit(QWidget* widget, qreal drop, const Motion& motion);

// The entrance of a list screen: the first time `screen` is shown, its `column` fades in rising
// 6 points (skipped under reduce motion).
void enterOnFirstShow(QWidget* screen, QWidget* column);

} // namespace bw::design
