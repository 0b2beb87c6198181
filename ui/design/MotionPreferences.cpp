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
    return reduceMotionOverride_.value_or(desktopReduceMotion_);
}

bool MotionPreferences::reduceTransparency() const {
    return reduceTransparencyOverride_.value_or(desktopReduceTransparency_);
}

void MotionPreferences::overrideReduceMotion(std::optional<bool> value) {
    const bool oldMotion = reduceMotion();
    const bool oldTransparency = reduceTransparency();
    reduceMotionOverride_ = value;
    emitChanges(oldMotion, oldTransparency);
}

void MotionPreferences::overrideReduceTransparency(std::optional<bool> value) {
    const bool oldMotion = reduceMotion();
    const bool oldTransparency = reduceTransparency();
    reduceTransparencyOverride_ = value;
    emitChanges(oldMotion, oldTransparency);
}

void MotionPreferences::setDesktopValues(bool reduceMotion, bool reduceTransparency) {
    const bool oldMotion = this->reduceMotion();
    const bool oldTransparency = this->reduceTransparency();
    desktopReduceMotion_ = reduceMotion;
    desktopReduceTransparency_ = reduceTransparency;
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
