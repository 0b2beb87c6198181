#pragma once

#include "inspection/checks/CheckTypes.h"
#include "platform/plist/PlistValue.h"

namespace bw::checks {

// The protected-resource purpose strings the Info.plist declares, and an embedded
// GoogleService-Info.plist among the files.
void inspectPurposeStrings(const plist::PlistDictionary& info, const std::vector<QString>& files,
                           Findings& findings, PassedChecks& passedChecks);

} // namespace bw::checks
