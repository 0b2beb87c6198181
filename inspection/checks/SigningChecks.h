#pragma once

#include "inspection/checks/CheckTypes.h"
#include "platform/plist/PlistValue.h"

#include <stop_token>

namespace bw::checks {

// The signature (codesign in `toolDirectory`), its entitlements, the archive's record of
// distribution and the provisioning profile. Returns the entitlements the bundle is signed with;
// empty when they cannot be read.
plist::PlistDictionary inspectSigning(const QString& toolDirectory, const QString& artifact,
                                      const QString& app, const plist::PlistDictionary& info,
                                      Findings& findings, PassedChecks& passedChecks,
                                      std::stop_token stop = {});

} // namespace bw::checks
