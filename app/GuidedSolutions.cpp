#include "app/GuidedSolutions.h"

#include "model/ReportHelpers.h"

#include <algorithm>
#include <map>
#include <set>

namespace bw {

using namespace Qt::Literals::StringLiterals;

namespace {

// Two findings with the same key are one problem.
QString mergeKey(FindingCategory category, const QString& guideline, const QString& title) {
    return bw::title(category) + u'|' + guideline + u'|' + title.toLower();
}

} // namespace

void applyGuidedSolutions(const BuildAnalysisResponse& response, const QString& scanIdentifier,
                          ScanReport& report) {
    std::map<QString, FindingResolution> resolutions;
    for (const RemoteFindingResolution& entry :
         response.resolutions.value_or(std::vector<RemoteFindingResolution>{})) {
        resolutions.insert_or_assign(entry.findingId, entry.resolution);
    }
    std::set<QString> keys;
    for (Finding& finding : report.findings) {
        if (const auto resolution = resolutions.find(finding.id); resolution != resolutions.end()) {
            finding.resolution = resolution->second;
        }
        keys.insert(mergeKey(finding.category, finding.guideline, finding.title));
    }
    for (std::size_t index = 0; index < response.findings.size(); ++index) {
        const RemoteBuildFinding& remote = response.findings[index];
        if (!keys.insert(mergeKey(remote.category, remote.guideline, remote.title)).second) {
            continue;
        }
        report.findings.push_back(
            {u"build.ai.%1.%2"_s.arg(scanIdentifier).arg(index), remote.severity, remote.category,
             remote.guideline, std::nullopt, remote.title, remote.detail, remote.evidence,
             remote.evidenceFields, remote.fix, std::clamp(remote.confidence, 0.0, 1.0),
             remote.source, remote.resolution});
    }
    report.passedChecks.insert(report.passedChecks.end(), response.passedChecks.begin(),
                               response.passedChecks.end());
    report.passedChecks.push_back(
        u"Reviewed %1 structured evidence items against Apple guidance %2"_s
            .arg(response.reviewedEvidenceCount)
            .arg(response.rulesVersion));
    report.rulesVersion = response.rulesVersion;
}

bool screenshotReviewIsComplete(const std::vector<ScreenshotAssessment>& assessments,
                                const std::set<ScreenshotPrompt>& areas) {
    if (assessments.size() != areas.size()) {
        return false;
    }
    std::set<ScreenshotPrompt> reviewed;
    for (const ScreenshotAssessment& assessment : assessments) {
        if (!assessment.analyzed) {
            return false;
        }
        reviewed.insert(assessment.reviewArea);
    }
    return reviewed == areas;
}

} // namespace bw
