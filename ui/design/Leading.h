#pragma once

#include <QMargins>
#include <QRectF>
#include <QString>

class QPainter;
class QWidget;

// The window reads from its leading edge: the left, or the right when mirrored ("-reverse", a
// right-to-left language). Hand-placed geometry is worked out from the leading edge as if it were
// the left; these put it and its texts where the widget's direction has them.
namespace bw::design {

// `rect` of `widget`, worked out from the leading edge, where it stands on the screen: mirrored,
// as far from the right as it is from the left.
QRectF leading(const QWidget& widget, const QRectF& rect);
QRect leading(const QWidget& widget, const QRect& rect);
// Margins given with the leading edge's on the left, where they stand on the screen: Qt keeps a
// widget's or layout's left margin on the left, mirrored too.
QMargins leadingMargins(const QWidget& widget, const QMargins& margins);
// The x of a point worked out from the leading edge.
qreal leadingX(const QWidget& widget, qreal x);

// Turns `painter` so that what it draws next, drawn as for left to right, is mirrored about the
// upright line at `x` when `widget` is: a thing that points or moves forward (a plane, an arrow
// leaving the row) then points and moves towards the left.
void faceForward(QPainter& painter, const QWidget& widget, qreal x);

// Draws `text` in the placed `rect` as QPainter::drawText does, left and right in `flags` being the
// leading and trailing edge of the painter's direction, but in the text's own reading order: a
// mirrored date still reads "Aug 1, 2026", a count "1 blocker".
void drawText(QPainter& painter, const QRectF& rect, int flags, const QString& text,
              QRectF* used = nullptr);
// Draws `text` from `origin` (its left end, on its baseline) in its own reading order.
void drawText(QPainter& painter, const QPointF& origin, const QString& text);

} // namespace bw::design
