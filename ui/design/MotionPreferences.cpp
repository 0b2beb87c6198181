#include "ui/design/DesktopSettings.h"
#include "ui/design/Motion.h"

namespace bw::design {

MotionPreferences& MotionPreferences::instance() {
    static MotionPreferences preferences;
    return preferences;
}

MotionPreferences::MotionPreferences() {
    watchDesktopSettings([this](bool reduceMotion, bool reduceTransparency) {
        setDesktopValues(reduceMotion, reduceTransparency);
    });
}

bool MotionPreferences::reduceMotion() const {
    return m_reduceMotionOverride.value_or(m_desktopReduceMotion);
}

bool MotionPreferences::reduceTransparency() const {
    return m_reduceTransparencyOverride.value_or(m_desktopReduceTransparency);
}

void MotionPreferences::overrideReduceMotion(std::optional<bool> value) {
    const bool oldMotion = reduceMotion();
    const bool oldTransparency = reduceTransparency();
    m_reduceMotionOverride = value;
    emitChanges(oldMotion, oldTransparency);
}

void MotionPreferences::overrideReduceTransparency(std::optional<bool> value) {
    const bool oldMotion = reduceMotion();
    const bool oldTransparency = reduceTransparency();
    m_reduceTransparencyOverride = value;
    emitChanges(oldMotion, oldTransparency);
}

void MotionPreferences::setDesktopValues(bool reduceMotion, bool reduceTransparency) {
    const bool oldMotion = this->reduceMotion();
    const bool oldTransparency = this->reduceTransparency();
    m_desktopReduceMotion = reduceMotion;
    m_desktopReduceTransparency = reduceTransparency;
    emitChanges(oldMotion, oldTransparency);
}

void MotionPreferences::emitChanges(bool oldMotion, bool oldTransparency) {
    if (reduceMotion() != oldMotion) {
        emit reduceMotionChanged(reduceMotion());
    }
    if (reduceTransparency() != oldTransparency) {
        emit reduceTransparencyChanged(reduceTransparency());
    }
}

} // namespace bw::design
