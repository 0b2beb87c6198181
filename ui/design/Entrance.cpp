#include "ui/design/Entrance.h"

#include <QEvent>
#include <QGraphicsEffect>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace bw::design {

namespace {

// Every motion of this kind is skipped under reduce motion.
const MotionKind entranceMotion = MotionKind::skipping();

// Scales the painter by `scale` about `centre`.
void scaleAbout(QPainter& painter, QPointF centre, qreal scale) {
    if (scale == 1) {
        return;
    }
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
}

class EntranceEffect : public QGraphicsEffect {
public:
    EntranceEffect(QWidget* widget, qreal rise, qreal scale)
        : QGraphicsEffect(widget), widget_(widget), rise_(rise), scale_(scale) {}

    void setProgress(qreal progress) {
        progress_ = progress;
        update();
    }

    QRectF boundingRectFor(const QRectF& rect) const override {
        return rect.adjusted(0, std::min(0.0, rise_), 0, std::max(0.0, rise_));
    }

protected:
    void draw(QPainter* painter) override {
        const qreal shift = rise_ * (1 - progress_);
        // What shows through a scroll area, and the strip that the shift brings into view.
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
        scaleAbout(*painter, QRectF(widget_->rect()).center() + QPointF(0, shift),
                   scale_ + (1 - scale_) * progress_);
        painter->drawPixmap(QPointF(area.topLeft()) + QPointF(0, shift), pixmap);
        painter->restore();
    }

private:
    QWidget* widget_;
    qreal rise_;
    qreal scale_;
    qreal progress_ = 0;
};

class ExitPicture : public QWidget {
public:
    ExitPicture(QPixmap picture, qreal drop, qreal scale, QPointF centre, QWidget* parent)
        : QWidget(parent), picture_(std::move(picture)), drop_(drop), scale_(scale),
          centre_(centre) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("leaving"));
        connect(&progress_, &AnimatedValue::valueChanged, this, [this](double value) {
            update();
            if (value >= 1) {
                deleteLater();
            }
        });
    }

    void play(const Motion& motion) { progress_.animateTo(1, motion); }

protected:
    void paintEvent(QPaintEvent*) override {
        const qreal progress = std::clamp(progress_.value(), 0.0, 1.0);
        QPainter painter(this);
        painter.setOpacity(1 - progress);
        // The picture starts at the top, or as far down as it will rise.
        const QPointF origin(0, (drop_ < 0 ? std::ceil(-drop_) : 0) + drop_ * progress);
        scaleAbout(painter, centre_ + origin, 1 - (1 - scale_) * progress);
        painter.drawPixmap(origin, picture_);
    }

private:
    QPixmap picture_;
    qreal drop_;
    qreal scale_;
    QPointF centre_; // of the widget that left, in the picture's coordinates
    AnimatedValue progress_{0.0};
};

// Plays a screen's entrance on its first Show, then goes.
class FirstShow : public QObject {
public:
    FirstShow(QWidget* screen, const std::vector<EntrancePart>& parts) : QObject(screen) {
        for (const EntrancePart& part : parts) {
            parts_.emplace_back(part.widget, part.rise);
        }
        screen->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            for (const auto& [widget, rise] : parts_) {
                playEntrance(widget, rise, entranceMotion.spring(0.42));
            }
            deleteLater();
        }
        return false;
    }

private:
    std::vector<std::pair<QPointer<QWidget>, qreal>> parts_;
};

} // namespace

void playEntrance(QWidget* widget, qreal rise, const Motion& motion, int delayMs, qreal scale) {
    if (!widget || motion.isInstant()) {
        return;
    }
    auto* effect = new EntranceEffect(widget, rise, scale);
    widget->setGraphicsEffect(effect);
    auto* progress = new AnimatedValue(0, effect);
    const QPointer<QWidget> target(widget);
    QObject::connect(progress, &AnimatedValue::valueChanged, effect,
                     [target, effect](double value) {
                         effect->setProgress(value);
                         // Done: the widget draws itself directly again, once this signal has
                         // returned (removing the effect deletes its animation).
                         if (value >= 1 && target) {
                             QTimer::singleShot(0, target, [target, effect] {
                                 if (target->graphicsEffect() == effect) {
                                     target->setGraphicsEffect(nullptr);
                                 }
                             });
                         }
                     });
    QTimer::singleShot(delayMs, progress, [progress, motion] { progress->animateTo(1, motion); });
}

void playExit(QWidget* widget, qreal drop, const Motion& motion, qreal scale) {
    QWidget* host = widget->parentWidget();
    if (motion.isInstant() || !host || !widget->isVisible()) {
        return;
    }
    const QRect area = widget->visibleRegion().boundingRect();
    if (area.isEmpty()) {
        return;
    }
    const int reach = int(std::ceil(std::abs(drop)));
    const QPointF centre = QRectF(widget->rect()).center() - QPointF(area.topLeft());
    auto* picture = new ExitPicture(widget->grab(area), drop, scale, centre, host);
    picture->setGeometry(QRect(widget->mapTo(host, area.topLeft()), area.size())
                             .adjusted(0, drop < 0 ? -reach : 0, 0, drop > 0 ? reach : 0));
    picture->show();
    picture->raise();
    picture->play(motion);
}

void endExits(QWidget* root) {
    const QString leaving = QStringLiteral("leaving");
    for (QWidget* picture : root->findChildren<QWidget*>(leaving)) {
        delete picture;
    }
}

QRect leavingRoom(const QWidget& host) {
    QRect room;
    for (const QWidget* picture :
         host.findChildren<QWidget*>(QStringLiteral("leaving"), Qt::FindDirectChildrenOnly)) {
        room |= picture->geometry();
    }
    return room;
}

void enterOnFirstShow(QWidget* screen, std::vector<EntrancePart> parts) {
    new FirstShow(screen, parts);
}

} // namespace bw::design
