#pragma once

#include "ui/design/Motion.h"

#include <QGraphicsEffect>

namespace bw {

// Draws a widget faded and shifted down while it makes its entrance, without moving it in its
// layout.
class EntranceEffect : public QGraphicsEffect {
public:
    EntranceEffect(qreal rise, QObject* parent = nullptr);

    // 0 hidden and `rise` points low, 1 in place.
    void setProgress(qreal progress);

protected:
    void draw(QPainter* painter) override;

private:
    qreal rise_;
    qreal progress_ = 0;
};

// Brings `widget` in from hidden and `rise` points low (negative: from above) with `motion`,
// after the next frame has shown it hidden; an instant motion changes nothing.
void playEntrance(QWidget* widget, qreal rise, const design::Motion& motion);

} // namespace bw
