#include "model/ReportHelpers.h"

#include "model/FindingText.h"
#include "model/ReportMarkdown.h"
#include "model/SidebarApp.h"
#include "tests/support/FieldOf.h"
#include "tests/support/Reports.h"

#include <QTimeZone>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace bw;

namespace {

BuildMetadata metadataFor(const QString& platform) {
    return {"App", "com.example.app", "1.0", "1", platform, "16.0", {}, {}, 0, std::nullopt};
}

const QDateTime base(QDate(2026, 8, 1), QTime(12, 0), Qt::UTC);

ScanReport report(const QString& bundleIdentifier, const QString& appName, int minutes) {
    return bw::test::historyReport(appName, base.addSecs(minutes * 60), Verdict::needsAttention,
                                   bundleIdentifier);
}

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

TEST(ReportHelpers, PlatformDisplayNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"iPhoneSimulator", "iOS"}, {"maccatalyst", "macOS"}, {"ios\t", "ios\t"}};
    for (const auto& [platform, expected] : cases) {
        EXPECT_EQ(platformDisplayName(metadataFor(QString::fromUtf8(platform))),
                  QString::fromUtf8(expected))
            << platform;
    }
}

TEST(ReportHelpers, Monograms) {
    const std::pair<QString, QString> cases[] = {
        {"  ...-- 7 Minute Workout", "7"},
        {" !?- ", "#"},
        {QStringLiteral("ßeta"), "SS"},
        {QStringLiteral("🚀 Launch"), "L"},
        {QStringLiteral("𝒜lpha"), QStringLiteral("𝒜")},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(monogram(name), expected) << name.toStdString();
    }
}

TEST(ReportHelpers, KindLabels) {
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/my.folder/App", "Build"},
        {"/tmp/App.tar.ipa", "IPA"},
        {"/tmp/App.app//", "App"},
        {"/", "Build"},
    };
    for (const auto& [path, expected] : cases) {
        StagedBuild build{QUuid::createUuid(), "App",       QString::fromUtf8(path), {},
                          std::nullopt,        std::nullopt};
        EXPECT_EQ(kindLabel(build), QString::fromUtf8(expected)) << path;
    }
}

TEST(ReportHelpers, OrderedUniqueKeepsFirstOccurrences) {
    const std::pair<std::vector<QString>, std::vector<QString>> cases[] = {
        {{"b", "a", "b", "c", "a"}, {"b", "a", "c"}},
        {{"A", "a", "a ", "a"}, {"A", "a", "a "}},
    };
    for (const auto& [input, expected] : cases) {
        const std::vector<QString> copy = input;
        EXPECT_EQ(orderedUnique(input), expected);
        EXPECT_EQ(input, copy);
    }
}

TEST(SidebarApp, OneEntryPerBundleNamedAfterTheLatestReport) {
    const std::vector<ScanReport> reports{
        report("com.example.a", "Old Name", 1),
        report("com.example.a", "New Name", 30),
        report("com.example.a", "Middle Name", 10),
        report("com.example.a", "Tied, later in the list", 30),
    };
    const auto apps = SidebarApp::apps(reports);
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps[0], SidebarApp::of(reports[1]));
    EXPECT_EQ(apps[0].appName, "New Name");
    EXPECT_TRUE(SidebarApp::apps({}).empty());
}

TEST(SidebarApp, NewestFirstThenByNameIgnoringCase) {
    const std::vector<ScanReport> reports{
        report("com.example.beta", "Beta", 10),
        report("com.example.old", "Aardvark", 1),
        report("com.example.alpha", "alpha", 10),
        report("com.example.new", "Zebra", 20),
        report("com.example.gamma", "Gamma", 10),
        report("com.example.alpha", "alpha", 2),
        // Accents and "\u00DF" sort by the locale's rules, not by code unit.
        report("com.example.eszett", QStringLiteral("\u00DFtrasse"), 10),
        report("com.example.emile", QStringLiteral("\u00C9mile"), 10),
    };
    const auto apps = SidebarApp::apps(reports, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(bw::test::fieldOf(apps, &SidebarApp::appName),
              (std::vector<QString>{"Zebra", "alpha", "Beta", QStringLiteral("\u00C9mile"), "Gamma",
                                    QStringLiteral("\u00DFtrasse"), "Aardvark"}));
}

TEST(SidebarApp, BundleIdentifiersDifferingInCaseAreSeparateApps) {
    const auto apps = SidebarApp::apps(
        {report("com.example.App", "App", 1), report("com.example.app", "App", 2)});
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].bundleIdentifier, "com.example.app");
    EXPECT_EQ(apps[1].bundleIdentifier, "com.example.App");
}

TEST(SidebarApp, EqualDatesAndNamesOrderByBundleIdentifierWhateverTheInputOrder) {
    std::vector<ScanReport> reports{report("com.example.z", "Same", 1),
                                    report("com.example.a", "same", 1),
                                    report("com.example.m", "SAME", 1)};
    const auto first = SidebarApp::apps(reports);
    std::ranges::reverse(reports);
    const auto second = SidebarApp::apps(reports);
    EXPECT_EQ(first, second);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].bundleIdentifier, "com.example.a");
    EXPECT_EQ(first[2].bundleIdentifier, "com.example.z");
}

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
