#include "ui/report/ReportHistoryFilter.h"

#include "model/ReportHelpers.h"

#include <algorithm>

namespace bw::report {

QString title(ReportHistoryFilter filter) {
    switch (filter) {
    case ReportHistoryFilter::all:
        return QStringLiteral("All");
    case ReportHistoryFilter::attention:
        return QStringLiteral("Attention");
    case ReportHistoryFilter::clear:
        return QStringLiteral("Clear");
    }
    return {};
}

QString normalisedQuery(const QString& query) {
    return query.trimmed().toLower();
}

static bool admits(ReportHistoryFilter filter, Verdict verdict) {
    switch (filter) {
    case ReportHistoryFilter::all:
        return true;
    case ReportHistoryFilter::attention:
        return verdict == Verdict::needsAttention;
    case ReportHistoryFilter::clear:
        return verdict == Verdict::noConfirmedBlockers;
    }
    return false;
}

bool matches(const ScanReport& report, ReportHistoryFilter filter, const QString& normalised) {
    if (!admits(filter, report.verdict)) {
        return false;
    }
    if (normalised.isEmpty()) {
        return true;
    }
    const BuildMetadata& m = report.metadata;
    const QString fields[] = {m.appName,     m.bundleIdentifier, m.version,
                              m.buildNumber, report.fileName,    platformDisplayName(m)};
    return std::ranges::any_of(
        fields, [&](const QString& field) { return field.toLower().contains(normalised); });
}

std::vector<const ScanReport*> filteredReports(const std::vector<ScanReport>& reports,
                                               ReportHistoryFilter filter, const QString& query) {
    const QString normalised = normalisedQuery(query);
    std::vector<const ScanReport*> result;
    for (const ScanReport& report : reports) {
        if (matches(report, filter, normalised)) {
            result.push_back(&report);
        }
    }
    std::ranges::stable_sort(result, [](const ScanReport* a, const ScanReport* b) {
        return a->createdAt > b->createdAt;
    });
    return result;
}

static QString sectionTitle(const QDateTime& createdAt, const QDateTime& now) {
    const QDateTime local = createdAt.toLocalTime();
    if (local.date() == now.date()) {
        return QStringLiteral("Today");
    }
    // Seven calendar days back at the same clock time, so not always 168 hours across a time
    // change. A later day (a clock set wrong where the report was made) is on this side of it.
    if (local >= now.addDays(-7)) {
        return QStringLiteral("Previous 7 days");
    }
    return QStringLiteral("Earlier");
}

std::vector<ReportHistorySection> sections(const std::vector<const ScanReport*>& reports,
                                           const QDateTime& now) {
    const QDateTime localNow = now.toLocalTime();
    std::vector<ReportHistorySection> result;
    for (const ScanReport* report : reports) {
        const QString title = sectionTitle(report->createdAt, localNow);
        if (result.empty() || result.back().title != title) {
            result.push_back({title, {}});
        }
        result.back().reports.push_back(report);
    }
    return result;
}

qsizetype count(const std::vector<ScanReport>& reports, ReportHistoryFilter filter) {
    return std::ranges::count_if(
        reports, [&](const ScanReport& report) { return admits(filter, report.verdict); });
}

} // namespace bw::report
