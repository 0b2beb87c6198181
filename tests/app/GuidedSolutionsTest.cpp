#include "app/GuidedSolutions.h"

#include "tests/support/Findings.h"
#include "tests/support/Reports.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;

Finding finding(const QString& id, FindingSeverity severity, const QString& title) {
    return test::finding(id, severity, FindingCategory::privacy, title);
}

RemoteBuildFinding remote(QString title, double confidence = 0.5, QString guideline = u"5.1"_s) {
    RemoteBuildFinding result{};
    result.category = FindingCategory::privacy;
    result.guideline = std::move(guideline);
    result.title = std::move(title);
    result.confidence = confidence;
    return result;
}

TEST(GuidedSolutions, MergeAttachesResolutionsAndAddsOnlyNewRemoteFindings) {
    const auto resolution = [](const QString& summary) {
        return FindingResolution{summary, {}, {}, {}};
    };
    ScanReport report;
    report.findings = {finding(u"local.a"_s, FindingSeverity::risk, u"Tracking Domains"_s),
                       finding(u"local.b"_s, FindingSeverity::manual, u"Other"_s)};
    report.findings[1].resolution = resolution(u"own"_s);
    report.passedChecks = {u"Local check"_s};
    BuildAnalysisResponse response;
    response.findings = {remote(u"tracking domains"_s),    // same problem as local.a
                         remote(u"Camera purpose"_s, 1.7), // added as index 1
                         remote(u"Camera Purpose"_s),      // same as the one just added
                         remote(u"Tracking domains"_s, -0.2, u"5.1.2"_s)}; // other guideline
    response.resolutions =
        std::vector<RemoteFindingResolution>{{u"local.b"_s, resolution(u"first"_s)},
                                             {u"local.b"_s, resolution(u"later"_s)},
                                             {u"nobody"_s, resolution(u"unused"_s)}};
    response.passedChecks = {u"Remote check"_s};
    response.reviewedEvidenceCount = 42;
    response.rulesVersion = u"r1"_s;

    applyGuidedSolutions(response, u"abc"_s, report);
    EXPECT_EQ(test::findingIds(report.findings),
              (std::vector{u"local.a"_s, u"local.b"_s, u"build.ai.abc.1"_s, u"build.ai.abc.3"_s}));
    EXPECT_EQ(report.findings[0].resolution, std::nullopt);
    EXPECT_EQ(report.findings[1].resolution, resolution(u"later"_s));
    EXPECT_EQ(report.findings[2].confidence, 1.0);
    EXPECT_EQ(report.findings[3].confidence, 0.0);
    EXPECT_EQ(report.passedChecks,
              (std::vector{u"Local check"_s, u"Remote check"_s,
                           u"Reviewed 42 structured evidence items against Apple guidance r1"_s}));
    EXPECT_EQ(report.rulesVersion, u"r1"_s);
}

TEST(GuidedSolutions, RankedOrderIsSeverityThenTitleAndStable) {
    std::vector<Finding> findings{finding(u"1"_s, FindingSeverity::risk, u"Alpha"_s),
                                  finding(u"2"_s, FindingSeverity::blocker, u"Zeta"_s),
                                  finding(u"3"_s, FindingSeverity::manual, u"Beta"_s),
                                  finding(u"4"_s, FindingSeverity::blocker, u"Beta"_s),
                                  finding(u"5"_s, FindingSeverity::blocker, u"Beta"_s)};
    std::ranges::stable_sort(findings, rankedOrder);
    EXPECT_EQ(test::findingIds(findings), (std::vector{u"4"_s, u"5"_s, u"2"_s, u"1"_s, u"3"_s}));
}

} // namespace
} // namespace bw
