#pragma once

#include "model/BuildIdentity.h"
#include "platform/plist/PlistValue.h"

#include <QString>

namespace bw {

// The build's identity from its Info.plist, with the fallbacks for missing entries; shared by the
// scan's metadata and the staged-build preview.
BuildIdentity readBuildIdentity(const plist::PlistDictionary& info, const QString& app);

} // namespace bw
