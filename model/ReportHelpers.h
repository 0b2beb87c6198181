#pragma once

#include "model/ScanReport.h"
#include "model/StagedBuild.h"

namespace bw {

// Display title of a category; the same text as its raw value.
QString title(FindingCategory category);

// "iOS", "macOS", "tvOS", "watchOS" or "visionOS" for the platform names a build may state, in
// any letter case and with blanks anywhere; any other platform text comes back unchanged.
QString platformDisplayName(const BuildMetadata& metadata);

qsizetype blockerCount(const ScanReport& report);
qsizetype riskCount(const ScanReport& report);
qsizetype manualCount(const ScanReport& report);

// The first letter, mark or number of an app name, upper-cased; "#" when there is none.
QString monogram(const QString& appName);

// "IPA", "Archive", "App" or "Build", from the staged path's extension.
QString kindLabel(const StagedBuild& build);

// Each distinct text once, at its first position.
std::vector<QString> orderedUnique(const std::vector<QString>& texts);

} // namespace bw
