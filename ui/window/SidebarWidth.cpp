#include "ui/window/SidebarWidth.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

namespace bw::window {

SidebarWidth::SidebarWidth(QObject* parent)
    : QObject(parent), stored_(fromStored(QSettings().value(settingsKey))) {}

double SidebarWidth::fromStored(const QVariant& stored) {
    bool isNumber = false;
    const double width = stored.toDouble(&isNumber);
    return isNumber && std::isfinite(width) ? width : fallback;
}

double SidebarWidth::value() const {
    return std::clamp(stored_, minimum, maximum);
}

void SidebarWidth::set(double width) {
    if (!std::isfinite(width)) {
        return;
    }
    QSettings().setValue(settingsKey, width);
    if (width == stored_) {
        return;
    }
    stored_ = width;
    emit changed(stored_);
}

} // namespace bw::window
