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

// The first user-perceived character of `text`, so that an accented letter or an emoji stays
// whole; empty for an empty text.
QString firstCharacter(const QString& text);

// The letter of a saved report's icon tile: the app name's first character, upper-cased (an
// emoji counts as that character); "#" for an empty name.
QString reportMonogram(const QString& appName);

// "IPA", "Archive", "App" or "Build", from the staged path's extension.
QString kindLabel(const StagedBuild& build);

// Each distinct text once, at its first position.
std::vector<QString> orderedUnique(const std::vector<QString>& texts);

} // namespace bw
