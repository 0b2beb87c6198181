#include "ui/window/SidebarWidth.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

namespace bw::window {

SidebarWidth::SidebarWidth(QObject* parent)
    : QObject(parent), value_(fromStored(QSettings().value(settingsKey))) {}

double SidebarWidth::fromStored(const QVariant& stored) {
    bool isNumber = false;
    const double width = stored.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(width)) {
        return fallback;
    }
    return std::clamp(width, minimum, maximum);
}

void SidebarWidth::set(double width) {
    const double clamped = std::isfinite(width) ? std::clamp(width, minimum, maximum) : value_;
    QSettings().setValue(settingsKey, clamped);
    if (clamped == value_) {
        return;
    }
    value_ = clamped;
    emit changed(value_);
}

} // namespace bw::window
