#include "model/ReportHelpers.h"

#include "model/SidebarApp.h"
#include "tests/support/FieldOf.h"
#include "tests/support/Reports.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(apps[0], (SidebarApp{"com.example.a", "New Name", reports[1]}));
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
