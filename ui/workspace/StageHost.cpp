#include "ui/workspace/StageHost.h"

#include <QPainter>

namespace bw::workspace {

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

    void setProgress(double progress) {
        progress_ = progress;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setOpacity(std::max(0.0, 1 - progress_));
        painter.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
    double progress_ = 0;
};

StageHost::StageHost(QWidget* parent) : QWidget(parent) {
    leaving_ = new LeavingPicture(this);
    connect(&progress_, &design::AnimatedValue::valueChanged, this, [this](double value) {
        place(value);
        if (value >= 1.0 && progress_.target() >= 1.0) {
            leaving_->setPicture({});
        }
    });
}

void StageHost::present(QWidget* next, const Transition& transition) {
    const bool animated = current_ && isVisible() && !transition.motion.isInstant();
    leaving_->setPicture(animated ? current_->grab() : QPixmap());
    // Later, not now: the change may come from a click on the old screen itself.
    if (current_) {
        current_->hide();
        current_->deleteLater();
    }
    current_ = next;
    transition_ = transition;
    next->setParent(this);
    next->show();
    if (!animated) {
        progress_.setValue(1);
        place(1);
        return;
    }
    progress_.setValue(0);
    place(0);
    progress_.animateTo(1, transition.motion);
}

void StageHost::resizeEvent(QResizeEvent*) {
    place(progress_.value());
}

void StageHost::place(double progress) {
    if (current_) {
        current_->setGeometry(
            rect().translated((transition_.enterFrom * (1 - progress)).toPoint()));
    }
    leaving_->setGeometry(rect().translated((transition_.leaveTo * progress).toPoint()));
    leaving_->setProgress(progress);
}

} // namespace bw::workspace
