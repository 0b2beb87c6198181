#include "services/backend/BerthwatchBackend.h"
#include "services/backend/BuildReviewJson.h"
#include "services/backend/FieldText.h"
#include "tests/services/backend/BackendTestSupport.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Thrown.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <limits>

namespace bw {
namespace {

using test::LocalHttpServer;
using test::ScriptedResponse;

// Every field present once, plus a key the client does not know.
const char* const fullAnalysis = R"({
  "findings": [
    {"severity": "blocker", "category": "Permissions", "guideline": "5.1.1",
     "title": "Camera purpose missing", "detail": "d", "evidence": "e",
     "evidenceFields": [{"label": "Key", "value": "NSCameraUsageDescription"}],
     "fix": "f", "confidence": 0.9, "source": "Build",
     "resolution": {"summary": "s", "steps": [{"title": "t", "instruction": "i"}],
                    "verification": "v", "solutionPrompt": "p"}},
    {"severity": "manual", "category": "Metadata", "guideline": "2.3", "title": "Review notes",
     "detail": "d2", "evidence": "e2", "fix": "f2", "confidence": 1, "source": "App Store Connect",
     "evidenceFields": null}
  ],
  "resolutions": [
    {"findingId": "build.rule.0", "resolution": {"summary": "s0", "steps": [],
                                                 "verification": "v0", "solutionPrompt": "p0"}}
  ],
  "passedChecks": ["Privacy manifest present"],
  "reviewedEvidenceCount": 42,
  "rulesVersion": "2026.09.1",
  "solutionSchemaVersion": "3",
  "serverNote": {"ignored": true}
})";

BuildAnalysisResponse decode(const QByteArray& body) {
    return decodeBuildAnalysisResponse(json::JsonReader(json::parseDocument(body)));
}

// Sends `report` through a real exchange and returns the body as the server received it.
class SentBody {
public:
    SentBody() : backend_(server_.url()) {
        server_.route("POST", "/v1/scans/abc/analyze",
                      ScriptedResponse(200, test::minimalAnalysis));
    }

    const QJsonObject of(const ScanReport& report) {
        backend_.reviewBuildEvidence(std::nullopt, "abc", report);
        const auto seen = server_.requests();
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(seen.back().body), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError);
        return document.object();
    }

private:
    LocalHttpServer server_;
    BerthwatchBackend backend_;
};

QString letters(int count) {
    return QString(count, QLatin1Char('x'));
}

// One exchange: the report goes out as the service reads it, the answer comes back decoded.
TEST(BuildReview, OneExchangeSendsTheReportAndDecodesTheAnswer) {
    LocalHttpServer server;
    server.route("POST", "/v1/scans/abc/analyze", ScriptedResponse(200, fullAnalysis));
    ScanReport report = test::sampleReport();
    report.rulesVersion = " 2026.08.1 ";
    report.findings[0].itms = "ITMS-90683";
    const BuildAnalysisResponse response =
        BerthwatchBackend(server.url()).reviewBuildEvidence(std::nullopt, "abc", report);

    const QJsonObject sent =
        QJsonDocument::fromJson(QByteArray::fromStdString(server.requests().at(0).body)).object();
    const QJsonObject expectedSent = QJsonDocument::fromJson(R"({
      "rulesVersion": " 2026.08.1 ", "passedChecks": ["Info.plist readable"],
      "app": {"name": "FlightDeck", "bundleIdentifier": "com.example.flightdeck", "version": "2.4",
              "buildNumber": "112", "platform": "iOS", "minimumOS": "16.0",
              "architectures": ["arm64"], "sdkNames": ["Sentry"], "bundleSize": 52428800},
      "localFindings": [{"id": "build.rule.0", "severity": "risk", "category": "Privacy",
                         "guideline": "5.1", "itms": "ITMS-90683", "title": "Title 0",
                         "detail": "Detail", "evidence": "Evidence", "fix": "Fix",
                         "confidence": 1, "source": "Build"}]})")
                                         .object();
    EXPECT_EQ(sent, expectedSent);

    const FindingResolution resolution{"s", {{"t", "i"}}, "v", "p"};
    const BuildAnalysisResponse expected{
        {{FindingSeverity::blocker, FindingCategory::permissions, "5.1.1", "Camera purpose missing",
          "d", "e", std::vector<FindingEvidenceField>{{"Key", "NSCameraUsageDescription"}}, "f",
          0.9, EvidenceSource::build, resolution},
         {FindingSeverity::manual, FindingCategory::metadata, "2.3", "Review notes", "d2", "e2",
          std::nullopt, "f2", 1.0, EvidenceSource::appStoreConnect, std::nullopt}},
        std::vector<RemoteFindingResolution>{{"build.rule.0", {"s0", {}, "v0", "p0"}}},
        {"Privacy manifest present"},
        42,
        "2026.09.1",
        "3"};
    EXPECT_EQ(response, expected);
}

// One list and one text stand for every limit: the kept items are the first ones, in order, and
// a text is trimmed before it is clipped.
TEST(BuildReviewRequest, ListsAndTextsAreCutAtTheirLimits) {
    SentBody sent;
    ScanReport report = test::sampleReport();
    report.findings.clear();
    for (int i = 0; i < 121; ++i) {
        report.findings.push_back(test::sampleFinding(i));
    }
    const QJsonArray findings = sent.of(report)["localFindings"].toArray();
    ASSERT_EQ(findings.size(), 120);
    EXPECT_EQ(findings.first()["id"].toString(), "build.rule.0");
    EXPECT_EQ(findings.last()["id"].toString(), "build.rule.119");

    const std::pair<QString, QString> titles[] = {
        {"\n " + letters(165) + "\t", letters(160)},
        {" \n\t ", "Unavailable"},
        {"\u00A0\u2028\u3000", "Unavailable"},
        {"  a  b  ", "a  b"},
    };
    for (const auto& [given, expected] : titles) {
        report = test::sampleReport();
        report.findings[0].title = given;
        const QJsonValue sentFinding = sent.of(report)["localFindings"][0];
        EXPECT_EQ(sentFinding["title"].toString(), expected);
        EXPECT_FALSE(sentFinding.toObject().contains("itms")) << "left out when absent";
    }
}

TEST(BuildReviewRequest, ConfidenceAndBundleSizeAreClamped) {
    SentBody sent;
    const std::pair<double, double> confidences[] = {
        {1.7, 1.0},
        {std::numeric_limits<double>::quiet_NaN(), 0.0},
    };
    for (const auto& [given, expected] : confidences) {
        ScanReport report = test::sampleReport();
        report.findings[0].confidence = given;
        EXPECT_EQ(sent.of(report)["localFindings"][0]["confidence"].toDouble(), expected) << given;
    }
    ScanReport report = test::sampleReport();
    report.metadata.bundleSize = std::numeric_limits<qint64>::max();
    EXPECT_EQ(sent.of(report)["app"]["bundleSize"].toInteger(), 1'000'000'000'000);
}

TEST(BuildReview, OptionalKeysMayBeMissingOrNull) {
    const BuildAnalysisResponse response =
        decode(R"({"findings":[],"resolutions":null,"passedChecks":[],
                   "reviewedEvidenceCount":0,"rulesVersion":"r"})");
    EXPECT_EQ(response.resolutions, std::nullopt);
    EXPECT_EQ(response.solutionSchemaVersion, std::nullopt);
}

TEST(BuildReview, AnyShapeErrorFailsTheWholeAnswer) {
    const struct {
        const char* name;
        const char* from;
        const char* to;
    } changes[] = {
        {"unknown severity", R"("severity": "blocker")", R"("severity": "critical")"},
        {"count fractional", R"("reviewedEvidenceCount": 42)", R"("reviewedEvidenceCount": 4.5)"},
        {"evidence field without value", R"(, "value": "NSCameraUsageDescription")", ""},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        QByteArray body(fullAnalysis);
        ASSERT_EQ(body.count(change.from), 1);
        body.replace(change.from, change.to);
        EXPECT_THROW(decode(body), json::DecodeError);
    }
}

TEST(FieldText, ClipsByUserPerceivedCharacters) {
    const QString family = QString::fromUtf8("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80"
                                             "\x8D\xF0\x9F\x91\xA7"); // man ZWJ woman ZWJ girl
    const QString accented = "e\u0301";                               // e + combining acute
    const struct {
        const char* name;
        QString text;
        qsizetype maxLength;
        QString expected;
    } cases[] = {
        {"joined family", family.repeated(4), 3, family.repeated(3)},
        {"combining marks", accented.repeated(6), 4, accented.repeated(4)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clipped(c.text, c.maxLength), c.expected) << c.name;
    }
}

} // namespace
} // namespace bw
