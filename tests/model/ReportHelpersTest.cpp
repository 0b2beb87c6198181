#include "model/ReportHelpers.h"

#include "tests/support/Reports.h"

#include <gtest/gtest.h>

using namespace bw;

namespace {

BuildMetadata metadataFor(const QString& platform) {
    return {"App", "com.example.app", "1.0", "1", platform, "16.0", {}, {}, 0, std::nullopt};
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

TEST(ReportHelpers, CountsBySeverityOnly) {
    ScanReport report{};
    EXPECT_EQ(blockerCount(report) + riskCount(report) + manualCount(report), 0);
    report.findings = {test::finding("a", FindingSeverity::blocker, FindingCategory::manual),
                       test::finding("b", FindingSeverity::manual, FindingCategory::signing),
                       test::finding("c", FindingSeverity::blocker, FindingCategory::payments)};
    EXPECT_EQ(blockerCount(report), 2);
    EXPECT_EQ(riskCount(report), 0);
    EXPECT_EQ(manualCount(report), 1);
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
