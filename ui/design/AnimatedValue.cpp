#include "ui/design/Motion.h"

#include <QTimer>
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
    ++m_changes;
    m_animation->stop();
    m_target = target;
    m_animation->setStartValue(m_value);
    m_animation->setEndValue(target);
    play(*m_animation, motion);
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
    const unsigned changes = ++m_changes;
    QTimer::singleShot(delayMs, this, [this, changes, target, motion] {
        if (changes == m_changes) {
            animateTo(target, motion);
        }
    });
}

void AnimatedValue::setValue(double value) {
    ++m_changes;
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
