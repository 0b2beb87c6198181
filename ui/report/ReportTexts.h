#pragma once

#include "model/ScanReport.h"

#include <QString>
#include <optional>
#include <vector>

// Texts, counts and orders the report screen derives from a report on every drawing.
namespace bw::report {

// The findings the list shows for a filter: stored order, then stably by severity.
std::vector<Finding> visibleFindings(const ScanReport& report,
                                     std::optional<FindingSeverity> filter);

// The row that opens for the selected finding id: the first shown finding with that id, so two
// findings sharing an id never open together.
std::optional<std::size_t> expandedRow(const std::vector<Finding>& visible,
                                       const std::optional<QString>& selectedID);

// "1 finding", "N findings" over the whole report, or "N passed checks".
QString summaryLabel(const ScanReport& report, bool isPassedSelected);

QString headline(const ScanReport& report);
QString nextStepText(const ScanReport& report);

// "Required fix", "Recommended change" or "Review checklist".
QString sectionTitle(FindingSeverity severity);

QString emptyTitle(std::optional<FindingSeverity> filter);
QString emptyMessage(std::optional<FindingSeverity> filter);

// The symbol name that stands for a category.
QString categorySymbol(FindingCategory category);

} // namespace bw::report
