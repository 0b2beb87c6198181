#pragma once

#include "inspection/checks/CheckTypes.h"

#include <optional>
#include <stop_token>

namespace bw::checks {

// The privacy manifests of the bundle and the required-reason APIs the executable uses (nm in
// `toolDirectory`).
void inspectPrivacyManifests(const QString& toolDirectory, const QString& app,
                             const std::vector<QString>& files,
                             const std::optional<QString>& executable, Findings& findings,
                             PassedChecks& passedChecks, std::stop_token stop = {});

} // namespace bw::checks
