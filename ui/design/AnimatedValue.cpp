#include "ui/design/Motion.h"

#include <QSignalBlocker>
#include <QTimer>
#include <QVariantAnimation>

namespace bw::design {

AnimatedValue::AnimatedValue(double initial, QObject* parent)
    : QObject(parent), value_(initial), target_(initial), animation_(new QVariantAnimation(this)) {
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { update(value.toDouble()); });
}

bool AnimatedValue::isRunning() const {
    return animation_->state() == QAbstractAnimation::Running;
}

void AnimatedValue::animateTo(double target, const Motion& motion) {
    ++changes_;
    target_ = target;
    {
        // A stopped animation reports the value at its last time when its ends change: after an
        // instant move that is the new end, which would show for a frame before the move starts.
        const QSignalBlocker quiet(animation_);
        animation_->stop();
        animation_->setStartValue(value_);
        animation_->setEndValue(target);
    }
    play(*animation_, motion);
    // A move without duration ends within play(), but the animation reports no value when its
    // last run ended on the same one (after setValue() moved us away from it): take it here.
    if (!isRunning()) {
        update(target);
    }
}

void AnimatedValue::animateAfter(int delayMs, double target, const Motion& motion) {
    if (motion.isInstant()) {
        animateTo(target, motion);
        return;
    }
    const unsigned changes = ++changes_;
    QTimer::singleShot(delayMs, this, [this, changes, target, motion] {
        if (changes == changes_) {
            animateTo(target, motion);
        }
    });
}

void AnimatedValue::setValue(double value) {
    ++changes_;
    animation_->stop();
    target_ = value;
    update(value);
}

void AnimatedValue::update(double value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    emit valueChanged(value);
}

} // namespace bw::design
