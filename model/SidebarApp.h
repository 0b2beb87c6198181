#pragma once

#include "model/ScanReport.h"

#include <QLocale>

namespace bw {

// One scanned app in the sidebar: what its row shows of the app's most recent report, not the
// report itself, so that the sidebar of a long history holds no second copy of it.
struct SidebarApp {
    QString bundleIdentifier;
    QString appName;
    // The most recent report: which one, when it was made, the build it scanned, the app's icon
    // and how many blockers, risks and manual checks it found.
    QUuid latestReportID;
    QDateTime latestCreatedAt;
    QString sourcePath;
    std::optional<QByteArray> iconPNG;
    qsizetype blockers = 0;
    qsizetype risks = 0;
    qsizetype manualChecks = 0;

    // The entry of the app whose most recent report is `latest`.
    static SidebarApp of(const ScanReport& latest);

    // Rows are identified by the bundle identifier, unique within one list of apps.
    const QString& id() const { return bundleIdentifier; }
    bool operator==(const SidebarApp&) const = default;

    // One entry per distinct bundle identifier (compared exactly), named after its latest report;
    // newest first, apps of equal date by name (case-insensitive, in the locale's order), then by
    // bundle identifier so that the order never depends on the history's order.
    static std::vector<SidebarApp> apps(const std::vector<ScanReport>& reports,
                                        const QLocale& locale = QLocale());
};

size_t qHash(const SidebarApp& value, size_t seed = 0);

} // namespace bw
