#include "ui/workspace/StageHost.h"

#include <QGraphicsOpacityEffect>

namespace bw::workspace {

namespace {

void setOpacity(QWidget* widget, double opacity) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
}

} // namespace

StageHost::StageHost(QWidget* parent) : QWidget(parent) {
    connect(&progress_, &design::AnimatedValue::valueChanged, this, [this](double value) {
        place(value);
        if (value >= 1.0 && progress_.target() >= 1.0) {
            finish();
        }
    });
}

void StageHost::present(QWidget* next, const Transition& transition) {
    delete leaving_; // a transition still running ends at once
    if (current_) {
        current_->setAttribute(Qt::WA_TransparentForMouseEvents);
        current_->clearFocus();
    }
    leaving_ = current_;
    current_ = next;
    transition_ = transition;
    next->setParent(this);
    next->show();
    next->raise();
    if (transition.motion.isInstant()) {
        progress_.setValue(1);
        place(1);
        finish();
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
        if (progress < 1) {
            setOpacity(current_, progress);
        }
    }
    if (leaving_) {
        leaving_->setGeometry(rect().translated((transition_.leaveTo * progress).toPoint()));
        setOpacity(leaving_, 1 - progress);
    }
}

// Once settled the screen paints without an effect, so nothing is composed off-screen while a
// scan runs.
void StageHost::finish() {
    delete leaving_;
    if (current_) {
        current_->setGraphicsEffect(nullptr);
    }
}

} // namespace bw::workspace
