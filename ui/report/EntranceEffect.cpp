#include "ui/report/EntranceEffect.h"

#include <QPainter>

namespace bw {

EntranceEffect::EntranceEffect(qreal rise, QObject* parent)
    : QGraphicsEffect(parent), rise_(rise) {}

void EntranceEffect::setProgress(qreal progress) {
    progress_ = progress;
    update();
}

void EntranceEffect::draw(QPainter* painter) {
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
    painter->save();
    painter->setOpacity(painter->opacity() * std::clamp(progress_, 0.0, 1.0));
    painter->drawPixmap(offset + QPointF(0, rise_ * (1 - progress_)), pixmap);
    painter->restore();
}

} // namespace bw
