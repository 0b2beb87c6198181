#include "model/ReportHelpers.h"


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
