#pragma once

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

} // namespace bw
