#include "services/backend/BuildReviewRequestAssembly.h"

#include "model/ReportHelpers.h"
#include "services/backend/FieldText.h"

#include <algorithm>

namespace bw {

namespace {

constexpr std::size_t maxFindings = 120;
constexpr std::size_t maxArchitectures = 16;
constexpr std::size_t maxSdkNames = 120;
constexpr std::size_t maxPassedChecks = 160;
constexpr qint64 maxBundleSize = 1'000'000'000'000;

QString cleaned(const QString& text, qsizetype maxLength) {
    return sanitizedField(text, maxLength, QStringLiteral("Unavailable"));
}

std::vector<QString> cleanedList(const std::vector<QString>& texts, std::size_t maxCount,
                                 qsizetype maxLength) {
    std::vector<QString> result;
    const std::size_t count = std::min(texts.size(), maxCount);
    result.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        result.push_back(cleaned(texts[i], maxLength));
    }
    return result;
}

double clampedConfidence(double confidence) {
    // Written so that NaN, which fails every comparison, becomes 0.
    return std::min(1.0, confidence > 0.0 ? confidence : 0.0);
}

BuildEvidenceFinding evidenceFinding(const Finding& finding) {
    std::optional<QString> itms;
    if (finding.itms) {
        itms = cleaned(*finding.itms, 64);
    }
    return {cleaned(finding.id, 180),
            finding.severity,
            finding.category,
            cleaned(finding.guideline, 32),
            std::move(itms),
            cleaned(finding.title, 160),
            cleaned(finding.detail, 1200),
            cleaned(finding.evidence, 1000),
            cleaned(finding.fix, 1200),
            clampedConfidence(finding.confidence),
            finding.source};
}

BuildReviewContext context(const BuildMetadata& metadata) {
    return {{cleaned(metadata.appName, 200), cleaned(metadata.bundleIdentifier, 255),
             cleaned(metadata.version, 100), cleaned(metadata.buildNumber, 100),
             cleaned(platformDisplayName(metadata), 100), cleaned(metadata.minimumOS, 100)},
            cleanedList(metadata.architectures, maxArchitectures, 100),
            cleanedList(metadata.sdkNames, maxSdkNames, 200),
            std::clamp<qint64>(metadata.bundleSize, 0, maxBundleSize)};
}

} // namespace

BuildReviewRequest makeBuildReviewRequest(const ScanReport& report) {
    std::vector<BuildEvidenceFinding> findings;
    const std::size_t count = std::min(report.findings.size(), maxFindings);
    findings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        findings.push_back(evidenceFinding(report.findings[i]));
    }
    return {report.rulesVersion, context(report.metadata), std::move(findings),
            cleanedList(report.passedChecks, maxPassedChecks, 240)};
}

} // namespace bw
