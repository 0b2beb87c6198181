#include "model/AppSection.h"
#include "model/ReportJson.h"
#include "model/ScanPhase.h"
#include "platform/json/JsonWriter.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

using namespace bw;
using json::JsonReader;

TEST(StagedBuildJson, FreshImportHasNoPreviewKeys) {
    const StagedBuild build{QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-0000000000AB")), "App.ipa",
                            "/tmp/App.ipa", QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), QTimeZone::utc()),
                            std::nullopt, std::nullopt};
    const QByteArray text = json::write(toJson(build), json::Layout::compact);
    EXPECT_EQ(text, R"({"addedAt":"2026-01-02T03:04:05Z","fileName":"App.ipa",)"
                    R"("id":"00000000-0000-0000-0000-0000000000AB","path":"\/tmp\/App.ipa"})");
    EXPECT_EQ(decodeStagedBuild(JsonReader(json::parseDocument(text))), build);
}

TEST(StagedBuildJson, PreviewWithAndWithoutOptionals) {
    StagedBuildPreview bare{"A", "com.a", "1.0", "1", "iphoneos", "15.0", std::nullopt, std::nullopt, std::nullopt};
    EXPECT_EQ(toJson(bare).keys(),
              (QStringList{"appName", "buildNumber", "bundleIdentifier", "minimumOS", "platform", "version"}));
    EXPECT_EQ(decodeStagedBuildPreview(JsonReader(toJson(bare))), bare);

    StagedBuildPreview full = bare;
    full.iconPNG = QByteArray("icon");
    full.targetDevices = "iPhone, iPad";
    full.bundleSize = 123;
    EXPECT_EQ(decodeStagedBuildPreview(JsonReader(toJson(full))), full);
    EXPECT_NE(full, bare);

    QJsonObject missing = toJson(bare);
    missing.remove(u"minimumOS");
    EXPECT_THROW(decodeStagedBuildPreview(JsonReader(missing)), json::DecodeError);
}

TEST(ScanPhase, Equality) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        ScanPhase a;
        ScanPhase b;
        bool equal;
    };
    const Case cases[] = {
        {ScanPhase::scanning(0.5, "Reading"), ScanPhase::scanning(0.5, "Signing"), false},
        {ScanPhase::scanning(0.5, "Reading"), ScanPhase::scanning(0.5, "Reading"), true},
        {ScanPhase::scanning(nan, "Reading"), ScanPhase::scanning(nan, "Reading"), false},
        {ScanPhase::failed("x"), ScanPhase::failed("x"), true},
        {ScanPhase::failed("x"), ScanPhase::failed("y"), false},
        {ScanPhase::idle(), ScanPhase::preparing(), false},
        {ScanPhase::idle(), ScanPhase::idle(), true},
        {ScanPhase::finished(), ScanPhase::failed(""), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal);
    }
    EXPECT_TRUE(ScanPhase::preparing().isBusy());
    EXPECT_TRUE(ScanPhase::scanning(0.1, "x").isBusy());
    EXPECT_FALSE(ScanPhase::failed("x").isBusy());
}

TEST(AppSection, RawValuesAreExact) {
    EXPECT_EQ(fromRawValue<AppSection>(u"settings"), AppSection::settings);
    EXPECT_EQ(fromRawValue<AppSection>(u"Settings"), std::nullopt);
    EXPECT_EQ(allCases<AppSection>(),
              (std::array{AppSection::scan, AppSection::recents, AppSection::guidelines, AppSection::settings}));
}
