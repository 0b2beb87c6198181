#pragma once

#include "model/ScanReport.h"
#include "tests/support/LocalHttpServer.h"

#include <QString>

namespace bw::test {

// The smallest body the build-evidence review accepts.
inline const char* const minimalAnalysis =
    R"({"findings":[],"passedChecks":[],"reviewedEvidenceCount":0,"rulesVersion":"2026.09.1"})";

inline Finding sampleFinding(int index) {
    return {QString("build.rule.%1").arg(index),
            FindingSeverity::risk,
            FindingCategory::privacy,
            "5.1.1",
            std::nullopt,
            QString("Title %1").arg(index),
            "Detail",
            "Evidence",
            std::vector<FindingEvidenceField>{{"Key", "Value"}},
            "Fix",
            0.8,
            EvidenceSource::build,
            FindingResolution{"s", {}, "v", "p"}};
}

inline ScanReport sampleReport() {
    ScanReport report;
    report.rulesVersion = "2026.08.1";
    report.metadata = {"FlightDeck", "com.example.flightdeck",
                       "2.4",        "112",
                       "iphoneos",   "16.0",
                       {"arm64"},    {"Sentry"},
                       52428800,     std::nullopt};
    report.findings = {sampleFinding(0)};
    report.passedChecks = {"Info.plist readable"};
    return report;
}

} // namespace bw::test
