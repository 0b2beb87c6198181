#pragma once

#include "model/ScanReport.h"
#include "tests/support/LocalHttpServer.h"

#include <QString>

namespace bw::test {

// The smallest body the build-evidence review accepts.
inline const char* const minimalAnalysis =
    R"({"findings":[],"passedChecks":[],"reviewedEvidenceCount":0,"rulesVersion":"2026.09.1"})";

inline Finding sampleFinding(int index) {
    return {QStringLiteral("build.rule.%1").arg(index),
            FindingSeverity::risk,
            FindingCategory::privacy,
            QStringLiteral("5.1.1"),
            std::nullopt,
            QStringLiteral("Title %1").arg(index),
            QStringLiteral("Detail"),
            QStringLiteral("Evidence"),
            std::vector<FindingEvidenceField>{{QStringLiteral("Key"), QStringLiteral("Value")}},
            QStringLiteral("Fix"),
            0.8,
            EvidenceSource::build,
            FindingResolution{QStringLiteral("s"), {}, QStringLiteral("v"), QStringLiteral("p")}};
}

inline ScanReport sampleReport() {
    ScanReport report;
    report.rulesVersion = QStringLiteral("2026.08.1");
    report.metadata = {QStringLiteral("FlightDeck"),
                       QStringLiteral("com.example.flightdeck"),
                       QStringLiteral("2.4"),
                       QStringLiteral("112"),
                       QStringLiteral("iphoneos"),
                       QStringLiteral("16.0"),
                       {QStringLiteral("arm64")},
                       {QStringLiteral("Sentry")},
                       52428800,
                       std::nullopt};
    report.findings = {sampleFinding(0)};
    report.passedChecks = {QStringLiteral("Info.plist readable")};
    return report;
}

} // namespace bw::test
