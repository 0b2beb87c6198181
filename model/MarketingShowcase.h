#pragma once

#include "model/ScanReport.h"

// The built-in reports that the demonstration scenes show.
namespace bw::marketing_mode {

// One made-up app of the showcase.
struct ShowcaseRow {
    QString appName;
    QString bundleIdentifier;
    QString version;
    QString buildNumber;
    double age; // seconds before now that its report is dated
    bool clean; // no findings and no confirmed blockers
    std::optional<QString> iconPath;
};

// The six showcase apps, in display order.
const std::vector<ShowcaseRow>& showcaseRows();

// The name that demonstration archives begin with.
QString demoAppName();

// The report file the showcase reports are derived from, shipped with the program.
QString showcaseFilePath();

// The report stored in the showcase file at `path`; none when it cannot be read or decoded.
std::optional<ScanReport> readShowcaseFile(const QString& path = showcaseFilePath());

// One report per showcase row, built once from the showcase file (or the sample report when the
// file is missing or does not decode).
const std::vector<ScanReport>& showcaseReport();

// The showcase reports as of `now`, derived from the report file at `path`.
std::vector<ScanReport> makeShowcaseReports(const QString& path, const QDateTime& now);

// A new report for the row: its app and dates, the base's findings unless the row is clean, and
// the base's checks, screenshots and rules version.
ScanReport makeShowcaseReport(const ShowcaseRow& row, const ScanReport& base,
                              const QDateTime& now = QDateTime::currentDateTimeUtc());

} // namespace bw::marketing_mode
