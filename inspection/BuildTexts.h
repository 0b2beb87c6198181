#pragma once

#include "platform/plist/PlistValue.h"

#include <QString>

namespace bw {

// The descriptive texts of a build, with the fallbacks for missing Info.plist entries; shared by
// the scan's metadata and the staged-build preview.
struct BuildTexts {
    QString appName;
    QString bundleIdentifier;
    QString version;
    QString buildNumber;
    QString platform;
    QString minimumOS;
};

BuildTexts buildTexts(const plist::PlistDictionary& info, const QString& app);

} // namespace bw
