#include "ui/report/EntranceEffect.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace bw {

EntranceEffect::EntranceEffect(QWidget* widget, qreal rise)
    : QGraphicsEffect(widget), widget_(widget), rise_(rise) {}

void EntranceEffect::setProgress(qreal progress) {
    progress_ = progress;
    update();
}

void EntranceEffect::draw(QPainter* painter) {
    const qreal shift = rise_ * (1 - progress_);
    // What shows through the scroll area, and the strip that the shift brings into view.
    const int reach = int(std::ceil(std::abs(shift)));
    const QRect area =
        widget_->visibleRegion().boundingRect().adjusted(0, -reach, 0, reach) & widget_->rect();
    if (area.isEmpty()) {
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    QPixmap pixmap(area.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    widget_->render(&pixmap, QPoint(), QRegion(area), QWidget::DrawChildren);
    painter->save();
    painter->setOpacity(painter->opacity() * std::clamp(progress_, 0.0, 1.0));
    painter->drawPixmap(QPointF(area.topLeft()) + QPointF(0, shift), pixmap);
    painter->restore();
}

namespace {

class ExitPicture : public QWidget {
public:
    ExitPicture(QPixmap picture, qreal drop, QWidget* parent)
        : QWidget(parent), picture_(std::move(picture)), drop_(drop) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("leaving"));
        connect(&progress_, &design::AnimatedValue::valueChanged, this, [this](double value) {
            update();
            if (value >= 1) {
                deleteLater();
            }
        });
    }

    void play(const design::Motion& motion) { progress_.animateTo(1, motion); }

protected:
    void paintEvent(QPaintEvent*) override {
        const qreal progress = std::clamp(progress_.value(), 0.0, 1.0);
        QPainter painter(this);
        painter.setOpacity(1 - progress);
        // The picture starts at the top, or as far down as it will rise.
        const qreal start = drop_ < 0 ? std::ceil(-drop_) : 0;
        painter.drawPixmap(QPointF(0, start + drop_ * progress), picture_);
    }

private:
    QPixmap picture_;
    qreal drop_;
    design::AnimatedValue progress_{0.0};
};

} // namespace

void playExit(QWidget* widget, qreal drop, const design::Motion& motion) {
    QWidget* host = widget->parentWidget();
    if (motion.isInstant() || !host || !widget->isVisible()) {
        return;
    }
    const QRect area = widget->visibleRegion().boundingRect();
    if (area.isEmpty()) {
        return;
    }
    auto* picture = new ExitPicture(widget->grab(area), drop, host);
    const int reach = int(std::ceil(std::abs(drop)));
    picture->setGeometry(QRect(widget->mapTo(host, area.topLeft()), area.size())
                             .adjusted(0, drop < 0 ? -reach : 0, 0, drop > 0 ? reach : 0));
    picture->show();
    picture->raise();
    picture->play(motion);
}

void playEntrance(QWidget* widget, qreal rise, const design::Motion& motion) {
    if (motion.isInstant()) {
        return;
    }
    auto* effect = new EntranceEffect(widget, rise);
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
