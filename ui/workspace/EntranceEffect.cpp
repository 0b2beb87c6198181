#include "ui/workspace/EntranceEffect.h"

#include <QGraphicsEffect>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace bw::workspace {

namespace {

class EntranceEffect : public QGraphicsEffect {
public:
    EntranceEffect(qreal distance, QObject* parent)
        : QGraphicsEffect(parent), distance_(distance) {}

    void setProgress(qreal progress) {
        progress_ = progress;
        update();
    }

    QRectF boundingRectFor(const QRectF& rect) const override {
        return rect.adjusted(0, std::min(0.0, distance_), 0, std::max(0.0, distance_));
    }

protected:
    void draw(QPainter* painter) override {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
        painter->setOpacity(progress_);
        painter->drawPixmap(QPointF(offset) + QPointF(0, (1 - progress_) * distance_), pixmap);
    }

private:
    qreal distance_;
    qreal progress_ = 0;
};

} // namespace

void playEntrance(QWidget* widget, qreal distance, const design::Motion& motion, int delayMs) {
    if (motion.isInstant()) {
        return;
    }
    auto* effect = new EntranceEffect(distance, widget);
    widget->setGraphicsEffect(effect);
    auto* progress = new design::AnimatedValue(0, effect);
    const QPointer<QWidget> target(widget);
    QObject::connect(progress, &design::AnimatedValue::valueChanged, effect,
                     [effect, target](double value) {
                         effect->setProgress(value);
                         if (value >= 1 && target) {
                             // Removed once the change has been delivered, not inside it.
                             QTimer::singleShot(0, target, [target, effect] {
                                 if (target->graphicsEffect() == effect) {
                                     target->setGraphicsEffect(nullptr);
                                 }
                             });
                         }
                     });
    QTimer::singleShot(delayMs, progress, [progress, motion] { progress->animateTo(1, motion); });
}

} // namespace bw::workspace
