#pragma once

#include "inspection/checks/CheckTypes.h"
#include "platform/plist/PlistValue.h"

#include <stop_token>

namespace bw::checks {

// Icons, packaging debris, App Transport Security and an empty bundle; `bundleSize` is the
// bytes of the bundle's files. Throws Cancelled once `stop` is requested.
void inspectResources(const plist::PlistDictionary& info, const QString& app,
                      const std::vector<QString>& files, qint64 bundleSize, Findings& findings,
                      PassedChecks& passedChecks, std::stop_token stop = {});

} // namespace bw::checks
