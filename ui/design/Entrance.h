#pragma once

#include "ui/design/Motion.h"

#include <QRect>
#include <vector>

class QWidget;

namespace bw::design {

// Brings `widget` in from hidden and `rise` points low (negative: from above) with `motion`,
// starting `delayMs` after the next frame has shown it hidden. Only its drawing moves, never its
// layout, and only the part that can be seen is drawn, so a list thousands of points tall fades
// in at the cost of one screenful; the effect removes itself once done. Below a `scale` of 1 it
// also grows from that size about its centre. An instant motion changes nothing.
void playEntrance(QWidget* widget, qreal rise, const Motion& motion, int delayMs = 0,
                  qreal scale = 1);

// Lets what `widget` shows now leave with `motion`: a picture of its visible part fades out over
// the place it held while sinking `drop` points (negative: rising) and shrinking to `scale` about
// its centre, drawn above its siblings. The widget itself is free to change or go at once; an
// instant motion draws nothing. The picture is a widget named "leaving" until it has gone.
void playExit(QWidget* widget, qreal drop, const Motion& motion, qreal scale = 1);

// Ends at once every leaving picture inside `root`, for content that is replaced outright.
void endExits(QWidget* root);

// The room the leaving pictures over `host` still take (host coordinates; empty when none): a
// column that shrinks under new, shorter content keeps it, so no picture is cut while it fades.
QRect leavingRoom(const QWidget& host);

// One block of a screen's entrance and how many points it rises while fading in.
struct EntrancePart {
    QWidget* widget;
    qreal rise;
};

// The entrance of a list screen: the first time `screen` is shown, its parts fade in together,
// each rising its own distance (skipped under reduce motion).
void enterOnFirstShow(QWidget* screen, std::vector<EntrancePart> parts);

} // namespace bw::design
