#pragma once

#include "model/ScanReport.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/Reports.h"

#include <QString>

namespace bw::test {

// The smallest body the build-evidence review accepts.
inline const char* const minimalAnalysis =
    R"({"findings":[],"passedChecks":[],"reviewedEvidenceCount":0,"rulesVersion":"2026.09.1"})";

// A finding with every field the request carries, and the fields it leaves out (the evidence
// fields and a resolution).
inline Finding sampleFinding(int index) {
    Finding result = finding(QString("build.rule.%1").arg(index), FindingSeverity::risk,
                             FindingCategory::privacy, QString("Title %1").arg(index));
    result.detail = "Detail";
    result.evidence = "Evidence";
    result.evidenceFields = std::vector<FindingEvidenceField>{{"Key", "Value"}};
    result.fix = "Fix";
    result.resolution = FindingResolution{"s", {}, "v", "p"};
    return result;
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
