#include "ui/design/Motion.h"

#include <QSignalBlocker>
#include <QVariantAnimation>

namespace bw::design {

AnimatedValue::AnimatedValue(double initial, QObject* parent)
    : QObject(parent), m_value(initial), m_target(initial),
      m_animation(new QVariantAnimation(this)) {
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { update(value.toDouble()); });
}

bool AnimatedValue::isRunning() const {
    return m_animation->state() == QAbstractAnimation::Running;
}

void AnimatedValue::animateTo(double target, const Motion& motion) {
    m_target = target;
    {
        // A stopped animation reports the value at its last time when its ends change: after an
        // instant move that is the new end, which would show for a frame before the move starts.
        const QSignalBlocker quiet(m_animation);
        m_animation->stop();
        m_animation->setStartValue(m_value);
        m_animation->setEndValue(target);
    }
    play(*m_animation, motion);
    // A move without duration ends within play(), but the animation reports no value when its
    // last run ended on the same one (after setValue() moved us away from it): take it here.
    if (!isRunning()) {
        update(target);
    }
}

void AnimatedValue::setValue(double value) {
    m_animation->stop();
    m_target = value;
    update(value);
}

void AnimatedValue::update(double value) {
    if (value == m_value) {
        return;
    }
    m_value = value;
    emit valueChanged(value);
}

} // namespace bw::design
