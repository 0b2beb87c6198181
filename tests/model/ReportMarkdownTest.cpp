#include "model/ReportMarkdown.h"

#include "model/FindingText.h"

#include <QTimeZone>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace bw;

namespace {

ScanReport reportWithoutFindings() {
    const BuildMetadata metadata{
        {"Tidepool", "com.example.tidepool", "2.4", "318", "iphoneos", "17.0"},
        {"arm64"},
        {"Sentry"},
        1000,
        QByteArray("png")};
    return {QUuid::createUuid(),
            QDateTime(QDate(2026, 8, 1), QTime(9, 30, 5, 789), Qt::UTC),
            "Tidepool.ipa",
            "/Users/me/Tidepool.ipa",
            Verdict::noConfirmedBlockers,
            metadata,
            {},
            {"Info.plist parsed", "Executable found"},
            std::nullopt,
            "2026.08.1"};
}

Finding finding(FindingSeverity severity, FindingCategory category, EvidenceSource source,
                double confidence) {
    return {"rule.id",
            severity,
            category,
            "2.5.1",
            "ITMS-91053",
            "Title *with* markdown",
            "First line\nsecond line",
            "evidence text",
            std::vector<FindingEvidenceField>{{"Label", "hidden"}},
            "  fix text ",
            confidence,
            source,
            FindingResolution{"s", {{"t", "i"}}, "v", "p"}};
}

} // namespace

TEST(ReportMarkdown, ReportWithoutFindings) {
    const QString text = report_markdown::render(reportWithoutFindings());
    EXPECT_TRUE(text.contains("* Verdict: **No confirmed blockers**\n"));
    EXPECT_TRUE(text.endsWith("## Findings\n\nNo findings.\n## Passed checks\n\n"
                              "* Info.plist parsed\n* Executable found\n"));
}

TEST(ReportMarkdown, ReportWithFindingsLeavesOutIdsCodesFieldsAndResolutions) {
    ScanReport report = reportWithoutFindings();
    report.verdict = Verdict::needsAttention;
    report.createdAt = QDateTime(QDate(2026, 1, 2), QTime(23, 59, 59), QTimeZone(3600));
    report.findings = {
        finding(FindingSeverity::blocker, FindingCategory::signing, EvidenceSource::build, 1.0),
    };
    report.passedChecks = {};
    const QString text = report_markdown::render(report);
    // The scan time in UTC, the finding's own text as written, the fix untrimmed.
    for (const char* part :
         {"* Verdict: **Fix before submission**\n", "* Scanned: 2026-01-02T22:59:59Z\n",
          "### [Blocker] Title *with* markdown\n", "* Confidence: 100%\n",
          "\nFirst line\nsecond line\n", "**Fix:**   fix text \n\n## Passed checks\n\n"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;
    }
    for (const char* left : {"rule.id", "ITMS-91053", "Label", "hidden", "**Resolution"}) {
        EXPECT_FALSE(text.contains(QString::fromUtf8(left))) << left;
    }
}

TEST(FindingText, ConfidenceTruncatesTowardZero) {
    const double twoTo63 = std::ldexp(1.0, 63);
    const std::pair<double, const char*> cases[] = {
        {0.999, "99%"},
        {0.0049, "0%"},
        {-0.015, "-1%"},
        // The largest percentage below 2^63 fits; 2^63 itself does not, -2^63 does.
        {std::nextafter(twoTo63 / 100, 0.0), "9223372036854774784%"},
        {twoTo63 / 100, "Unknown"},
        {-twoTo63 / 100, "-9223372036854775808%"},
        {std::nextafter(-twoTo63 / 100, -twoTo63), "Unknown"},
        {std::numeric_limits<double>::quiet_NaN(), "Unknown"},
    };
    for (const auto& [confidence, expected] : cases) {
        EXPECT_EQ(confidenceText(confidence), QString::fromUtf8(expected)) << confidence;
    }
}
