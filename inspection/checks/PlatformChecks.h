#pragma once

#include "inspection/checks/CheckTypes.h"
#include "platform/plist/PlistValue.h"

namespace bw::checks {

// A bundle with the macOS layout (Contents/Info.plist, Contents/MacOS/), or an Info.plist with
// DTPlatformName "macosx" in any letter case or an LSMinimumSystemVersion entry.
bool isMacOSBuild(const plist::PlistDictionary& info, const QString& app);

void inspectPlatformRequirements(const plist::PlistDictionary& info, const QString& app,
                                 const plist::PlistDictionary& entitlements, Findings& findings,
                                 PassedChecks& passedChecks);

} // namespace bw::checks
