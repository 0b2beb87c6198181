#pragma once

#include "inspection/checks/CheckTypes.h"
#include "platform/plist/PlistValue.h"

namespace bw::checks {

// The Info.plist keys every build needs, a bundle identifier without unexpanded variables or
// spaces, and the form of the version number.
void inspectMetadata(const plist::PlistDictionary& info, Findings& findings,
                     PassedChecks& passedChecks);

} // namespace bw::checks
