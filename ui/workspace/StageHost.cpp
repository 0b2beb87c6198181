#include "ui/workspace/StageHost.h"

#include "ui/design/KeyboardFocus.h"
#include "ui/design/OnDeviceLine.h"

#include <QGraphicsEffect>
#include <QPainter>
#include <QTimer>

namespace bw::workspace {

namespace {

// Scales the painter about the centre of `rect`.
void scaleAbout(QPainter& painter, const QRectF& rect, qreal scale) {
    painter.translate(rect.center());
    painter.scale(scale, scale);
    painter.translate(-rect.center());
}

// The line at the foot of what `screen` shows now, if it has one.
design::OnDeviceLine* shownLine(QWidget& screen) {
    for (design::OnDeviceLine* line : screen.findChildren<design::OnDeviceLine*>()) {
        if (line->isVisibleTo(&screen)) {
            return line;
        }
    }
    return nullptr;
}

} // namespace

// "Your build stays on this computer." stands at the foot of every screen, a little higher on
// some: from one screen to the next it is one line that glides to its new place, not two that
// cross-fade a few points apart. The new screen's own line is hidden, its place kept, until the
// picture reaches it.
class TravellingLine : public QWidget {
public:
    explicit TravellingLine(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    // From `from` towards `to`, the line of `screen`, which fills the host once it is in place.
    void start(QWidget& from, QWidget& to, QWidget& screen) {
        picture_ = from.grab();
        from_ = QRectF(from.mapTo(parentWidget(), QPoint()), from.size()).center();
        to_ = &to;
        screen_ = &screen;
        to.hide();
        progress_ = 0;
        show();
        raise();
    }

    void setProgress(double progress) {
        progress_ = std::clamp(progress, 0.0, 1.0);
        update();
    }

    void finish() {
        if (to_) {
            to_->show();
        }
        to_ = nullptr;
        picture_ = {};
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!to_ || !screen_) {
            return;
        }
        // Where the new line will stand, not where the screen still moving in holds it.
        const QPointF to = QRectF(to_->mapTo(screen_, QPoint()), to_->size()).center();
        const QPointF centre = from_ + (to - from_) * progress_;
        const QSizeF size = picture_.deviceIndependentSize();
        QPainter(this).drawPixmap(centre - QPointF(size.width(), size.height()) / 2, picture_);
    }

private:
    QPixmap picture_;
    QPointF from_;
    QPointer<QWidget> to_;
    QPointer<QWidget> screen_;
    double progress_ = 0;
};

// Draws the new screen faded and slightly shrunk while it comes in.
class EnteringEffect : public QGraphicsEffect {
public:
    EnteringEffect(qreal scale, QObject* parent) : QGraphicsEffect(parent), scale_(scale) {}

    void setProgress(double progress) {
        progress_ = progress;
        update();
    }

protected:
    void draw(QPainter* painter) override {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
        painter->save();
        painter->setOpacity(std::clamp(progress_, 0.0, 1.0));
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        scaleAbout(*painter, boundingRect(), scale_ + (1 - scale_) * progress_);
        painter->drawPixmap(offset, pixmap);
        painter->restore();
    }

private:
    qreal scale_;
    double progress_ = 0;
};

// The fading picture of the screen that was replaced; takes no input.
class LeavingPicture : public QWidget {
public:
    explicit LeavingPicture(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void setPicture(const QPixmap& picture) {
        picture_ = picture;
        setVisible(!picture.isNull());
        raise();
    }

    void setProgress(double progress, qreal scale) {
        progress_ = progress;
        scale_ = scale;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setOpacity(std::max(0.0, 1 - progress_));
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        scaleAbout(painter, rect(), 1 - (1 - scale_) * progress_);
        painter.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
    double progress_ = 0;
    qreal scale_ = 1;
};

StageHost::StageHost(QWidget* parent) : QWidget(parent) {
    leaving_ = new LeavingPicture(this);
    line_ = new TravellingLine(this);
    connect(&progress_, &design::AnimatedValue::valueChanged, this, [this](double value) {
        place(value);
        if (value >= 1.0 && progress_.target() >= 1.0) {
            leaving_->setPicture({});
            line_->finish();
            // Removed once the change has been delivered, not inside it.
            QTimer::singleShot(0, this, [this] { settle(); });
        }
    });
}

void StageHost::present(QWidget* next, const Transition& transition) {
    const bool animated = current_ && isVisible() && !transition.motion.isInstant();
    line_->finish();
    if (design::OnDeviceLine* from = animated ? shownLine(*current_) : nullptr) {
        if (design::OnDeviceLine* to = shownLine(*next)) {
            line_->start(*from, *to, *next);
            from->hide();
        }
    }
    leaving_->setPicture(animated ? current_->grab() : QPixmap());
    line_->raise();
    QPointer<QWidget> leaving = current_;
    current_ = next;
    transition_ = transition;
    next->setParent(this);
    // In its place before the focus goes into it: what it shows of the control taking the focus
    // is measured there, not at a new widget's default size.
    next->setGeometry(rect());
    next->show();
    // Later, not now: the change may come from a click on the old screen itself.
    if (leaving) {
        design::passFocusOn(*leaving, *next);
        leaving->hide();
        leaving->deleteLater();
    }
    if (!animated) {
        progress_.setValue(1);
        place(1);
        return;
    }
    entering_ = new EnteringEffect(transition.scale, next);
    next->setGraphicsEffect(entering_);
    progress_.setValue(0);
    place(0);
    progress_.animateTo(1, transition.motion);
}

void StageHost::settle() {
    if (current_ && entering_ && current_->graphicsEffect() == entering_) {
        current_->setGraphicsEffect(nullptr);
    }
}

void StageHost::resizeEvent(QResizeEvent*) {
    line_->setGeometry(rect());
    place(progress_.value());
}

void StageHost::place(double progress) {
    if (current_) {
        current_->setGeometry(
            rect().translated((transition_.enterFrom * (1 - progress)).toPoint()));
    }
    if (entering_) {
        entering_->setProgress(progress);
    }
    leaving_->setGeometry(rect().translated((transition_.leaveTo * progress).toPoint()));
    leaving_->setProgress(progress, transition_.scale);
    line_->setProgress(progress);
}

} // namespace bw::workspace
