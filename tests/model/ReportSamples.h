#pragma once

#include "model/ScanReport.h"
#include "platform/json/JsonValues.h"
#include "tests/support/Reports.h"

#include <QTimeZone>

namespace bw::test {

// A deterministic report: the same index always gives the same report, ids included.
inline ScanReport sampleReport(int index, bool withIcon = true) {
    const QString n = QString::number(index);
    Finding rule = finding("signing.get-task-allow." + n, FindingSeverity::blocker,
                           FindingCategory::signing, "Debug entitlement");
    rule.guideline = "2.3";
    rule.itms = "ITMS-90164";
    rule.detail = "The build can be debugged.";
    rule.evidence = "get-task-allow = true";
    rule.evidenceFields = std::vector<FindingEvidenceField>{{"Key", "get-task-allow"}};
    rule.fix = "Archive with a distribution profile.";
    rule.confidence = 0.95;
    rule.resolution = FindingResolution{"s", {{"Open", "Xcode/Organizer"}}, "v", "p"};
    BuildMetadata metadata{{"App " + n, "com.example.app" + n, "1." + n, n, "iphoneos", "16.0"},
                           {"arm64"},
                           {"Sentry"},
                           1000 + index,
                           std::nullopt};
    if (withIcon) {
        metadata.iconPNG = QByteArray("\x89PNG\r\n\x1a\n icon ") + n.toLatin1();
    }
    return {QUuid(uint(index + 1), 0x2fa1, 0x11d2, 0x88, 0x3f, 0, 0x16, 0xd3, 0xcc, 0xa4, 0x27),
            QDateTime(QDate(2026, 8, 1), QTime(9, 30), QTimeZone::utc()).addSecs(index),
            "App" + n + ".ipa",
            "/builds/App" + n + ".ipa",
            Verdict::needsAttention,
            metadata,
            {rule},
            {"Info.plist readable"},
            std::nullopt,
            "2026.08.1"};
}

// Where the store keeps a report's icon, relative to its folder.
inline QString iconFileName(const ScanReport& report) {
    return "ReportIcons/" + json::formatUuid(report.id) + ".png";
}

inline std::vector<ScanReport> sampleHistory(int count, bool withIcons = true) {
    std::vector<ScanReport> reports;
    for (int i = 0; i < count; ++i) {
        reports.push_back(sampleReport(i, withIcons));
    }
    return reports;
}

} // namespace bw::test
