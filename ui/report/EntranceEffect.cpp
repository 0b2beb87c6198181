#include "ui/report/EntranceEffect.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

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

void playEntrance(QWidget* widget, qreal rise, const design::Motion& motion) {
    if (motion.isInstant()) {
        return;
    }
    auto* effect = new EntranceEffect(rise);
    widget->setGraphicsEffect(effect);
    auto* progress = new design::AnimatedValue(0, effect);
    QObject::connect(progress, &design::AnimatedValue::valueChanged, effect,
                     [widget, effect](double value) {
                         effect->setProgress(value);
                         // Done: the widget draws itself directly again, once this signal has
                         // returned (removing the effect deletes its animation).
                         if (value >= 1) {
                             QTimer::singleShot(0, widget, [widget, effect] {
                                 if (widget->graphicsEffect() == effect) {
                                     widget->setGraphicsEffect(nullptr);
                                 }
                             });
                         }
                     });
    QTimer::singleShot(0, progress, [progress, motion] { progress->animateTo(1, motion); });
}

} // namespace bw
