#include "model/SidebarApp.h"

#include "model/ReportHelpers.h"

#include <QCollator>
#include <QHash>
#include <algorithm>

namespace bw {

SidebarApp SidebarApp::of(const ScanReport& latest) {
    return {latest.metadata.bundleIdentifier,
            latest.metadata.appName,
            latest.id,
            latest.createdAt,
            latest.sourcePath,
            latest.metadata.iconPNG,
            blockerCount(latest),
            riskCount(latest),
            manualCount(latest)};
}

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
        apps.push_back(of(*report));
    }

    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::ranges::stable_sort(apps, [&](const SidebarApp& a, const SidebarApp& b) {
        if (a.latestCreatedAt != b.latestCreatedAt) {
            return a.latestCreatedAt > b.latestCreatedAt;
        }
        if (const int order = collator.compare(a.appName, b.appName); order != 0) {
            return order < 0;
        }
        return a.bundleIdentifier < b.bundleIdentifier;
    });
    return apps;
}

size_t qHash(const SidebarApp& v, size_t seed) {
    return qHashMulti(seed, v.bundleIdentifier, v.appName, v.latestReportID, v.latestCreatedAt,
                      v.sourcePath, v.iconPNG.value_or(QByteArray()), v.blockers, v.risks,
                      v.manualChecks);
}

} // namespace bw
