#include "model/ReportJson.h"
#include "platform/json/JsonWriter.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace bw;
using json::JsonReader;

TEST(StagedBuildJson, FreshImportHasNoPreviewKeys) {
    const StagedBuild build{
        QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-0000000000AB")),
        "App.ipa",
        "/tmp/App.ipa",
        QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), QTimeZone::utc()),
        std::nullopt,
        std::nullopt};
    const QByteArray text = json::write(toJson(build), json::Layout::compact);
    EXPECT_EQ(text, R"({"addedAt":"2026-01-02T03:04:05Z","fileName":"App.ipa",)"
                    R"("id":"00000000-0000-0000-0000-0000000000AB","path":"\/tmp\/App.ipa"})");
    EXPECT_EQ(decodeStagedBuild(JsonReader(json::parseDocument(text))), build);
}

TEST(StagedBuildJson, PreviewWithAndWithoutOptionals) {
    StagedBuildPreview bare{
        {"A", "com.a", "1.0", "1", "iphoneos", "15.0"}, std::nullopt, std::nullopt, std::nullopt};
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
