#pragma once

#include "inspection/checks/CheckTypes.h"
#include "platform/plist/PlistValue.h"

#include <stop_token>

namespace bw::checks {

// The embedded provisioning profile, decoded with security in `toolDirectory`.
void inspectProvisioningProfile(const QString& toolDirectory, const QString& app,
                                const plist::PlistDictionary& info, Findings& findings,
                                PassedChecks& passedChecks, std::stop_token stop = {});

} // namespace bw::checks
