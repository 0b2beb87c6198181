#pragma once

#include "model/Finding.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

// The two lists every rule check appends to.
using Findings = std::vector<Finding>;
using PassedChecks = std::vector<QString>;

// What an .xcarchive records about its own signing and App Store distribution.
struct ArchiveDistributionInfo {
    bool isArchive = false;
    std::optional<QString> signingIdentity;
    // "App Store upload" or "App Store validation" when the archive records a successful one.
    std::optional<QString> successfulCheck;

    bool operator==(const ArchiveDistributionInfo&) const = default;
};

// The main executable's architecture names in the tool's order, and its linked-library listing.
struct ArchitectureReport {
    std::vector<QString> architectures;
    QString linkedLibraries;

    bool operator==(const ArchitectureReport&) const = default;
};

} // namespace bw
