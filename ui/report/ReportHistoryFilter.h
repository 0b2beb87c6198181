#pragma once

#include "model/ScanReport.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace bw::report {

// The verdict filter of the history screen, in chip order.
enum class ReportHistoryFilter { all, attention, clear };

inline constexpr ReportHistoryFilter reportHistoryFilters[] = {
    ReportHistoryFilter::all, ReportHistoryFilter::attention, ReportHistoryFilter::clear};

QString title(ReportHistoryFilter filter);

// One day section of the history: "Today", "Previous 7 days" or "Earlier".
struct ReportHistorySection {
    QString title;
    std::vector<const ScanReport*> reports;
};

// The search text as it is matched: trimmed and lower-cased.
QString normalisedQuery(const QString& query);

// Whether the report passes the filter and contains the normalised text in its app name, bundle
// identifier, version, build number, file name or platform display name.
bool matches(const ScanReport& report, ReportHistoryFilter filter, const QString& normalised);

// The reports that match, newest first; reports made at the same moment keep the history's order.
std::vector<const ScanReport*> filteredReports(const std::vector<ScanReport>& reports,
                                               ReportHistoryFilter filter, const QString& query);

// Consecutive reports of the same day bucket, in the local calendar. A report dated on a day after
// `now`'s (a wrong clock when it was saved, a history from another machine) falls in "Previous 7
// days": sorted first, it makes a section of its own ahead of "Today".
std::vector<ReportHistorySection> sections(const std::vector<const ScanReport*>& reports,
                                           const QDateTime& now);

// How many reports of the whole history the filter admits.
qsizetype count(const std::vector<ScanReport>& reports, ReportHistoryFilter filter);

} // namespace bw::report
