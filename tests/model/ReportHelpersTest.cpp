#include "model/ReportHelpers.h"

#include "model/FindingOrder.h"
#include "model/FindingText.h"
#include "model/ReportMarkdown.h"
#include "model/SidebarApp.h"
#include "tests/support/FieldOf.h"
#include "tests/support/Findings.h"
#include "tests/support/Reports.h"

#include <QTimeZone>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

using namespace bw;

namespace {

const QDateTime base(QDate(2026, 8, 1), QTime(12, 0), Qt::UTC);

ScanReport report(const QString& bundleIdentifier, const QString& appName, int minutes) {
    return bw::test::historyReport(appName, base.addSecs(minutes * 60), Verdict::needsAttention,
                                   bundleIdentifier);
}

} // namespace

TEST(ReportHelpers, PlatformNamesKindLabelsAndMonograms) {
    BuildMetadata metadata{};
    for (const auto& [platform, expected] :
         {std::pair{"iPhoneSimulator", "iOS"}, {"maccatalyst", "macOS"}, {"ios\t", "ios\t"}}) {
        metadata.platform = QString::fromUtf8(platform);
        EXPECT_EQ(platformDisplayName(metadata), QString::fromUtf8(expected)) << platform;
    }
    for (const auto& [path, expected] : {std::pair{"/tmp/my.folder/App", "Build"},
                                         {"/tmp/App.tar.ipa", "IPA"},
                                         {"/tmp/App.app//", "App"},
                                         {"/", "Build"}}) {
        const StagedBuild build{{}, "App", QString::fromUtf8(path), {}, std::nullopt, std::nullopt};
        EXPECT_EQ(kindLabel(build), QString::fromUtf8(expected)) << path;
    }
    // The sidebar's letter, then the saved report's, which takes whatever comes first.
    const std::tuple<QString, QString, QString> monograms[] = {
        {"  ...-- 7 Minute Workout", "7", " "},
        {" !?- ", "#", " "},
        {"", "#", "#"},
        {QStringLiteral("ßeta"), "SS", "SS"},
        {QStringLiteral("🚀 Launch"), "L", QStringLiteral("🚀")},
        {QStringLiteral("e\u0301clair"), "E", QStringLiteral("E\u0301")},
        {QStringLiteral("𝒜lpha"), QStringLiteral("𝒜"), QStringLiteral("𝒜")},
    };
    for (const auto& [name, sidebar, report] : monograms) {
        EXPECT_EQ(monogram(name), sidebar) << name.toStdString();
        EXPECT_EQ(reportMonogram(name), report) << name.toStdString();
    }
}

// One entry per bundle identifier (case counts), named after its latest report (the first of
// equally late ones), newest first, then by name in the locale's order, then by identifier
// whatever the input order.
TEST(SidebarApp, OneEntryPerBundleNewestFirstThenByName) {
    using Apps = std::vector<std::pair<QString, QString>>; // bundle identifier, name
    const struct {
        std::vector<ScanReport> reports;
        Apps expected;
    } cases[] = {
        {{report("a", "Old Name", 1), report("a", "New Name", 30), report("a", "Middle", 10),
          report("a", "Tied, later in the list", 30)},
         {{"a", "New Name"}}},
        {{report("beta", "Beta", 10), report("old", "Aardvark", 1), report("alpha", "alpha", 10),
          report("new", "Zebra", 20), report("gamma", "Gamma", 10), report("alpha", "alpha", 2),
          report("eszett", QStringLiteral("\u00DFtrasse"), 10),
          report("emile", QStringLiteral("\u00C9mile"), 10)},
         {{"new", "Zebra"},
          {"alpha", "alpha"},
          {"beta", "Beta"},
          {"emile", QStringLiteral("\u00C9mile")},
          {"gamma", "Gamma"},
          {"eszett", QStringLiteral("\u00DFtrasse")},
          {"old", "Aardvark"}}},
        {{report("App", "App", 1), report("app", "App", 2)}, {{"app", "App"}, {"App", "App"}}},
        {{report("z", "Same", 1), report("a", "same", 1), report("m", "SAME", 1)},
         {{"a", "same"}, {"m", "SAME"}, {"z", "Same"}}},
        {{report("m", "SAME", 1), report("a", "same", 1), report("z", "Same", 1)},
         {{"a", "same"}, {"m", "SAME"}, {"z", "Same"}}},
    };
    for (const auto& c : cases) {
        Apps apps;
        for (const SidebarApp& app :
             SidebarApp::apps(c.reports, QLocale(QLocale::English, QLocale::UnitedStates))) {
            apps.emplace_back(app.bundleIdentifier, app.appName);
            const auto latest = std::ranges::find(c.reports, app.latestReportID, &ScanReport::id);
            ASSERT_NE(latest, c.reports.end());
            EXPECT_EQ(app, SidebarApp::of(*latest));
        }
        EXPECT_EQ(apps, c.expected);
    }
}

TEST(ReportMarkdown, FindingsLeaveOutIdsCodesFieldsAndResolutions) {
    ScanReport report = bw::test::historyReport("Tidepool", base, Verdict::noConfirmedBlockers);
    report.passedChecks = {"Info.plist parsed", "Executable found"};
    const QString empty = report_markdown::render(report);
    EXPECT_TRUE(empty.contains("* Verdict: **No confirmed blockers**\n"));
    EXPECT_TRUE(empty.endsWith("## Findings\n\nNo findings.\n## Passed checks\n\n"
                               "* Info.plist parsed\n* Executable found\n"));

    report.verdict = Verdict::needsAttention;
    report.createdAt = QDateTime(QDate(2026, 1, 2), QTime(23, 59, 59), QTimeZone(3600));
    Finding finding = bw::test::finding("rule.id", FindingSeverity::blocker,
                                        FindingCategory::signing, "Title *with* markdown");
    finding.itms = "ITMS-91053";
    finding.detail = "First line\nsecond line";
    finding.evidenceFields = std::vector<FindingEvidenceField>{{"Label", "hidden"}};
    finding.fix = "  fix text ";
    finding.resolution = FindingResolution{"s", {{"t", "i"}}, "v", "p"};
    report.findings = {finding};
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

TEST(FindingOrder, RanksBySeverityThenEachRankingsKeysStably) {
    using S = FindingSeverity;
    using C = FindingCategory;
    using bw::test::finding;
    std::vector<Finding> stored{
        finding("m-b", S::manual, C::manual, "b"),
        finding("r-sign", S::risk, C::signing, "B"),
        finding("b-priv", S::blocker, C::privacy, "Z"),
        finding("m-B", S::manual, C::manual, "B"),
        finding("r-bin", S::risk, C::binary, "C"),
        finding("b-pack", S::blocker, C::package, "A"),
        // U+1F600 after U+FF21 on scalar values, before it in UTF-16 code units.
        finding("m-emoji", S::manual, C::manual, "\xF0\x9F\x98\x80"),
        finding("m-wide", S::manual, C::manual, "\xEF\xBC\xA1"),
        finding("r-bin2", S::risk, C::binary, "C"),
        finding("r-pay", S::risk, C::payments, "A"),
    };
    const struct {
        FindingRanking ranking;
        std::vector<QString> ids;
    } cases[] = {
        {FindingRanking::severity,
         {"b-priv", "b-pack", "r-sign", "r-bin", "r-bin2", "r-pay", "m-b", "m-B", "m-emoji",
          "m-wide"}},
        {FindingRanking::severityAndTitle,
         {"b-pack", "b-priv", "r-pay", "r-sign", "r-bin", "r-bin2", "m-B", "m-b", "m-wide",
          "m-emoji"}},
    };
    for (const auto& c : cases) {
        std::vector<Finding> findings = stored;
        rankFindings(findings, c.ranking);
        EXPECT_EQ(bw::test::findingIds(findings), c.ids) << int(c.ranking);
    }
}
