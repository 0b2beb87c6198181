#pragma once

#include "ui/design/Motion.h"

#include <QGraphicsEffect>

namespace bw {

// Draws a widget faded and shifted down while it makes its entrance, without moving it in its
// layout. Only the part of the widget that can be seen is drawn: a list thousands of points
// tall fades in at the cost of one screenful.
class EntranceEffect : public QGraphicsEffect {
public:
    EntranceEffect(QWidget* widget, qreal rise);

    // 0 hidden and `rise` points low, 1 in place.
    void setProgress(qreal progress);

protected:
    void draw(QPainter* painter) override;

private:
    QWidget* widget_;
    qreal rise_;
    qreal progress_ = 0;
};

// Brings `widget` in from hidden and `rise` points low (negative: from above) with `motion`,
// after the next frame has shown it hidden; an instant motion changes nothing.
void playEntrance(QWidget* widget, qreal rise, const design::Motion& motion);

// Lets what `widget` shows now leave with `motion`: a picture of its visible part fades out over
// the place it held while sinking `drop` points (negative: rising), drawn above its siblings. The
// widget itself is free to change or go at once; an instant motion draws nothing. The picture is
// a widget named "leaving" until it has gone.
void playExit(QWidget* widget, qreal drop, const design::Motion& motion);

} // namespace bw
