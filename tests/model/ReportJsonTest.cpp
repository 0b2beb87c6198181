#include "model/ReportJson.h"

#include "platform/json/JsonWriter.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace bw;
using json::DecodeError;
using json::JsonReader;

namespace {

// A report as another writer might have stored it: keys in no particular order, an unknown key,
// a null optional, and every optional form present once.
const char* const fullReport = R"({
  "rulesVersion": "2026.08.1",
  "id": "1b4e28ba-2fa1-11d2-883f-0016d3cca427",
  "createdAt": "2026-08-01T09:30:00Z",
  "fileName": "FlightDeck.xcarchive",
  "sourcePath": "/Users/dev/FlightDeck.xcarchive",
  "verdict": "needsAttention",
  "futureField": {"anything": [1, 2, 3]},
  "metadata": {
    "appName": "FlightDeck", "bundleIdentifier": "com.example.flightdeck", "version": "2.4",
    "buildNumber": "112", "platform": "iphoneos", "minimumOS": "16.0",
    "architectures": ["arm64"], "sdkNames": ["Alamofire", "Sentry"], "bundleSize": 52428800,
    "iconPNG": "iVBORw0KGgo="
  },
  "findings": [
    {"id": "signing.get-task-allow", "severity": "blocker", "category": "Signing", "guideline": "2.3",
     "itms": "ITMS-90164", "title": "Debug entitlement", "detail": "d", "evidence": "get-task-allow = true",
     "evidenceFields": [{"label": "Key", "value": "get-task-allow"}],
     "fix": "Archive with a distribution profile.", "confidence": 0.95, "source": "Build",
     "resolution": {"summary": "s", "steps": [{"title": "t1", "instruction": "i1"}],
                    "verification": "v", "solutionPrompt": "p"}},
    {"id": "asc.metadata", "severity": "manual", "category": "Screenshots", "guideline": "2.3.3",
     "itms": null, "title": "t", "detail": "d", "evidence": "e", "fix": "f", "confidence": 1,
     "source": "App Store Connect"}
  ],
  "passedChecks": ["Info.plist readable", "Code signature valid"],
  "screenshotSummary": {
    "count": 2, "analyzedCount": 1, "fileNames": ["b.png", "a.png"], "reviewAreas": ["paywall", "signIn"],
    "decodedCount": 2,
    "assessments": [{"fileName": "b.png", "reviewArea": "paywall", "status": "confirmed_issue",
                     "summary": "Price missing", "analyzed": true}]
  }
})";

ScanReport decodeReport(const QByteArray& document) {
    return decodeScanReport(JsonReader(json::parseDocument(document)));
}

QString decodeFailure(const QByteArray& document) {
    try {
        decodeReport(document);
    } catch (const DecodeError& error) {
        return error.path();
    }
    return QStringLiteral("<decoded>");
}

// Applies one textual change to the full report; the change must apply exactly once.
QByteArray withChange(const char* from, const char* to) {
    QByteArray document(fullReport);
    EXPECT_EQ(document.count(from), 1) << from;
    return document.replace(from, to);
}

} // namespace

TEST(ReportJson, DecodesAHandWrittenReportFieldByField) {
    const ScanReport report = decodeReport(fullReport);
    EXPECT_EQ(report.id, QUuid::fromString(QStringLiteral("1B4E28BA-2FA1-11D2-883F-0016D3CCA427")));
    EXPECT_EQ(report.createdAt, QDateTime(QDate(2026, 8, 1), QTime(9, 30), QTimeZone::utc()));
    EXPECT_EQ(report.verdict, Verdict::needsAttention);
    EXPECT_EQ(report.metadata.iconPNG, QByteArray("\x89PNG\r\n\x1a\n"));
    ASSERT_EQ(report.findings.size(), 2u);
    const Finding& first = report.findings[0];
    EXPECT_EQ(first.itms, QStringLiteral("ITMS-90164"));
    EXPECT_EQ(first.evidenceFields, (std::vector<FindingEvidenceField>{{"Key", "get-task-allow"}}));
    EXPECT_EQ(first.resolution, (FindingResolution{"s", {{"t1", "i1"}}, "v", "p"}));
    const Finding& second = report.findings[1];
    EXPECT_FALSE(second.itms || second.evidenceFields || second.resolution);
    EXPECT_EQ(second.source, EvidenceSource::appStoreConnect);
    ASSERT_TRUE(report.screenshotSummary.has_value());
    EXPECT_EQ(report.screenshotSummary->fileNames, (std::vector<QString>{"b.png", "a.png"}));
    EXPECT_EQ(report.screenshotSummary->assessments->at(0).status,
              ScreenshotAssessmentStatus::confirmedIssue);
}

TEST(ReportJson, FailuresNameTheKeyPath) {
    struct Case {
        const char* from;
        const char* to;
        const char* path; // "<decoded>" when the change must still decode
    };
    const Case cases[] = {
        {R"("fix": "f", )", "", "findings[1].fix"},
        {R"("status": "confirmed_issue")", R"("status": "confirmedIssue")",
         "screenshotSummary.assessments[0].status"},
        {R"("steps": [{"title": "t1", "instruction": "i1"}])", R"("steps": [])", "<decoded>"},
        {R"("bundleSize": 52428800)", R"("bundleSize": 52428800.5)", "metadata.bundleSize"},
        {R"("createdAt": "2026-08-01T09:30:00Z")", R"("createdAt": "2026-08-01T09:30:00.250Z")",
         "createdAt"},
        {R"("id": "1b4e28ba-2fa1-11d2-883f-0016d3cca427")", R"("id": "FlightDeck")", "id"},
        {R"("reviewAreas": ["paywall", "signIn"])", R"("reviewAreas": null)", "<decoded>"},
        {R"("evidenceFields": [{"label": "Key", "value": "get-task-allow"}])",
         R"("evidenceFields": [{"label": "Key"}])", "findings[0].evidenceFields[0].value"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeFailure(withChange(c.from, c.to)), QString::fromUtf8(c.path))
            << c.from << " -> " << c.to;
    }
}

TEST(ReportJson, WritesRawValuesAndLeavesOutAbsentOptionalsNeverNull) {
    ScanReport report = decodeReport(fullReport);
    report.screenshotSummary.reset();
    report.metadata.iconPNG.reset();
    const QJsonObject object = toJson(report);
    EXPECT_FALSE(object.contains(u"screenshotSummary"));
    EXPECT_FALSE(object.value(u"metadata").toObject().contains(u"iconPNG"));
    const QJsonObject second = object.value(u"findings").toArray().at(1).toObject();
    for (const char* key : {"itms", "evidenceFields", "resolution"}) {
        EXPECT_FALSE(second.contains(QLatin1String(key))) << key;
    }
    EXPECT_EQ(object.keys(),
              (QStringList{"createdAt", "fileName", "findings", "id", "metadata", "passedChecks",
                           "rulesVersion", "sourcePath", "verdict"}));
    // Raw values, integers and an upper-case id.
    const QByteArray text = json::write(toJson(decodeReport(fullReport)), json::Layout::compact);
    for (const char* expected :
         {R"("id":"1B4E28BA-2FA1-11D2-883F-0016D3CCA427")", R"("bundleSize":52428800)",
          R"("status":"confirmed_issue")", R"("source":"App Store Connect")",
          R"("createdAt":"2026-08-01T09:30:00Z")"}) {
        EXPECT_TRUE(text.contains(expected)) << expected;
    }
}

// What is written reads back equal (the store's tests see the fraction of a second go).
TEST(ReportJson, RoundTripKeepsEverything) {
    ScanReport report = decodeReport(fullReport);
    report.metadata.iconPNG = QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff", 17);
    const ScanReport decoded = decodeReport(json::write(toJson(report), json::Layout::pretty));
    EXPECT_EQ(decoded, report);
    EXPECT_EQ(qHash(decoded), qHash(report));
}

namespace {

const StagedBuild freshImport{
    QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-0000000000AB")),
    "App.ipa",
    "/tmp/App.ipa",
    QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), QTimeZone::utc()),
    std::nullopt,
    std::nullopt};

const StagedBuildPreview plainPreview{{"App", "com.example.app", "1.0", "7", "iphoneos", "17.0"},
                                      std::nullopt,
                                      std::nullopt,
                                      std::nullopt};

StagedBuild withPreview(std::optional<StagedBuildPreview> preview,
                        std::optional<QString> error = std::nullopt) {
    StagedBuild build = freshImport;
    build.preview = std::move(preview);
    build.previewError = std::move(error);
    return build;
}

StagedBuild decodeStaged(const QByteArray& document) {
    return decodeStagedBuild(JsonReader(json::parseDocument(document)));
}

} // namespace

// Each build is written as given, without its absent optionals, and reads back equal.
TEST(StagedBuildJson, WritesPresentKeysOnlyAndRoundTrips) {
    StagedBuildPreview full = plainPreview;
    full.iconPNG = QByteArray("\x89PNG\0", 5);
    full.targetDevices = "iPhone, iPad";
    full.bundleSize = 5'000'000'000;
    const QByteArray head =
        R"({"addedAt":"2026-01-02T03:04:05Z","fileName":"App.ipa",)"
        R"("id":"00000000-0000-0000-0000-0000000000AB","path":"\/tmp\/App.ipa")";
    const QByteArray sixKeys = R"({"appName":"App","buildNumber":"7",)"
                               R"("bundleIdentifier":"com.example.app","minimumOS":"17.0",)"
                               R"("platform":"iphoneos","version":"1.0"})";
    const std::tuple<const char*, StagedBuild, QByteArray> cases[] = {
        {"fresh import", freshImport, head + "}"},
        {"preview of six texts", withPreview(plainPreview),
         head + R"(,"preview":)" + sixKeys + "}"},
        {"preview failed", withPreview(std::nullopt, "No Info.plist"),
         head + R"(,"previewError":"No Info.plist"})"},
        {"full preview", withPreview(full),
         head + R"(,"preview":{"appName":"App","buildNumber":"7",)"
                R"("bundleIdentifier":"com.example.app","bundleSize":5000000000,)"
                R"("iconPNG":"iVBORwA=","minimumOS":"17.0","platform":"iphoneos",)"
                R"("targetDevices":"iPhone, iPad","version":"1.0"}})"},
    };
    for (const auto& [name, build, expected] : cases) {
        const QByteArray text = json::write(toJson(build), json::Layout::compact);
        EXPECT_EQ(text, expected) << name;
        EXPECT_EQ(decodeStaged(text), build) << name;
        EXPECT_EQ(decodeStaged(json::write(toJson(build), json::Layout::pretty)), build) << name;
    }
}

// Absent optionals may also be null, unknown keys are ignored, and a required key that is
// missing, null or of another type fails, as does an optional one of another type.
TEST(StagedBuildJson, DecodesStrictly) {
    const QByteArray base =
        R"({"id": "00000000-0000-0000-0000-0000000000ab", "fileName": "App.ipa",
            "path": "/tmp/App.ipa", "addedAt": "2026-01-02T03:04:05Z", "future": [1],
            "preview": {"appName": "App", "bundleIdentifier": "com.example.app", "version": "1.0",
                        "buildNumber": "7", "platform": "iphoneos", "minimumOS": "17.0",
                        "iconPNG": null, "targetDevices": null, "bundleSize": null},
            "previewError": null})";
    const auto with = [&](const char* from, const char* to) {
        QByteArray document = base;
        EXPECT_EQ(document.count(from), 1) << from;
        return document.replace(from, to);
    };
    const std::tuple<const char*, QByteArray, QString> cases[] = {
        {"nulls and unknown keys", base, {}},
        {"no preview", with(R"("preview": {)", R"("ignored": {)"), {}},
        {"id missing", with(R"("id")", R"("identifier")"), "id"},
        {"id not a UUID", with("0000000000ab", "00000000000g"), "id"},
        {"date with a fraction", with("05Z", "05.5Z"), "addedAt"},
        {"path null", with(R"("/tmp/App.ipa")", "null"), "path"},
        {"file name a number", with(R"("App.ipa")", "7"), "fileName"},
        {"preview text missing", with(R"("minimumOS": "17.0",)", ""), "preview.minimumOS"},
        {"preview size a text", with(R"("bundleSize": null)", R"("bundleSize": "1")"),
         "preview.bundleSize"},
        {"preview icon not base64", with(R"("iconPNG": null)", R"("iconPNG": "%%")"),
         "preview.iconPNG"},
        {"error a number", with(R"("previewError": null)", R"("previewError": 1)"), "previewError"},
    };
    for (const auto& [name, document, failure] : cases) {
        try {
            const StagedBuild build = decodeStaged(document);
            EXPECT_EQ(failure, QString()) << name;
            EXPECT_EQ(build,
                      withPreview(document.contains("ignored") ? std::nullopt
                                                               : std::optional(plainPreview)))
                << name;
        } catch (const DecodeError& error) {
            EXPECT_EQ(error.path(), failure) << name;
        }
    }
}
