#include "model/SidebarApp.h"

#include <QCollator>
#include <QHash>
#include <algorithm>

namespace bw {

std::vector<SidebarApp> SidebarApp::apps(const std::vector<ScanReport>& reports,
                                         const QLocale& locale) {
    // Index of each bundle identifier's entry, in order of first appearance.
    QHash<QString, std::size_t> entryIndex;
    std::vector<const ScanReport*> latest;
    for (const ScanReport& report : reports) {
        const QString& bundleIdentifier = report.metadata.bundleIdentifier;
        const auto found = entryIndex.constFind(bundleIdentifier);
        if (found == entryIndex.constEnd()) {
            entryIndex.insert(bundleIdentifier, latest.size());
            latest.push_back(&report);
        } else if (report.createdAt > latest[*found]->createdAt) {
            latest[*found] = &report;
        }
    }

    std::vector<SidebarApp> apps;
    apps.reserve(latest.size());
    for (const ScanReport* report : latest) {
        apps.push_back({report->metadata.bundleIdentifier, report->metadata.appName, *report});
    }

    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::ranges::stable_sort(apps, [&](const SidebarApp& a, const SidebarApp& b) {
        if (a.latestReport.createdAt != b.latestReport.createdAt) {
            return a.latestReport.createdAt > b.latestReport.createdAt;
        }
        if (const int order = collator.compare(a.appName, b.appName); order != 0) {
            return order < 0;
        }
        return a.bundleIdentifier < b.bundleIdentifier;
    });
    return apps;
}

size_t qHash(const SidebarApp& v, size_t seed) {
    return qHashMulti(seed, v.bundleIdentifier, v.appName, v.latestReport);
}

} // namespace bw
