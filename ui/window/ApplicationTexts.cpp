#include "ui/window/ApplicationTexts.h"

#include "services/info/ApplicationInfo.h"

namespace bw::window {

QString appDisplayName(const ApplicationInfo& info) {
    return info.string(QStringLiteral("CFBundleDisplayName"))
        .value_or(QStringLiteral("Berthwatch"));
}

QString applicationVersionText(const ApplicationInfo& info) {
    const QString unknown = QStringLiteral("Unknown");
    return QStringLiteral("Version %1 (%2)")
        .arg(info.string(QStringLiteral("CFBundleShortVersionString")).value_or(unknown),
             info.string(QStringLiteral("CFBundleVersion")).value_or(unknown));
}

} // namespace bw::window
