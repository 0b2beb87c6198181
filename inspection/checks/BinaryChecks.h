#pragma once

#include "inspection/checks/CheckTypes.h"
#include "platform/plist/PlistValue.h"

#include <optional>
#include <stop_token>

namespace bw::checks {

// The main executable's architecture names in the tool's order, and its linked-library listing.
struct ArchitectureReport {
    std::vector<QString> architectures;
    QString linkedLibraries;

    bool operator==(const ArchitectureReport&) const = default;
};

// What lipo and otool in `toolDirectory` say of the executable; empty without one.
ArchitectureReport readArchitectures(const QString& toolDirectory,
                                     const std::optional<QString>& executable,
                                     std::stop_token stop = {});

// `info` and `app` tell a macOS build, where x86_64 is no simulator slice.
void inspectBinary(const plist::PlistDictionary& info, const QString& app,
                   const std::optional<QString>& executable,
                   const std::vector<QString>& architectures, const QString& linkedLibraries,
                   const std::vector<QString>& files, Findings& findings,
                   PassedChecks& passedChecks);

} // namespace bw::checks
