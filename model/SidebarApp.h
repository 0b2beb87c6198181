#pragma once

#include "model/ScanReport.h"

#include <QLocale>

namespace bw {

// One scanned app in the sidebar, shown with its most recent report.
struct SidebarApp {
    QString bundleIdentifier;
    QString appName;
    ScanReport latestReport;

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
