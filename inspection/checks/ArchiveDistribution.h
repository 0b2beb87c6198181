#pragma once

#include <QString>
#include <optional>

namespace bw::checks {

// What an .xcarchive records about its own signing and App Store distribution.
struct ArchiveDistributionInfo {
    bool isArchive = false;
    std::optional<QString> signingIdentity;
    // "App Store upload" or "App Store validation" when the archive records a successful one.
    std::optional<QString> successfulCheck;

    bool operator==(const ArchiveDistributionInfo&) const = default;
};

// Nothing but `isArchive = false` for an artifact that is no .xcarchive.
ArchiveDistributionInfo archiveDistributionInfo(const QString& artifact);

} // namespace bw::checks
