#include "services/backend/BerthwatchBackend.h"
#include "services/backend/BuildReviewJson.h"
#include "tests/services/backend/BackendTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

using test::LocalHttpServer;

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

TEST(BuildAnalysisResponse, FullAnswerDecodesFieldByField) {
    LocalHttpServer server;
    server.route("POST", "/v1/scans/abc/analyze", test::answer(200, fullAnalysis));
    const BuildAnalysisResponse response =
        BerthwatchBackend(server.url())
            .reviewBuildEvidence(std::nullopt, QStringLiteral("abc"), test::sampleReport());

    const FindingResolution resolution{QStringLiteral("s"),
                                       {{QStringLiteral("t"), QStringLiteral("i")}},
                                       QStringLiteral("v"),
                                       QStringLiteral("p")};
    const BuildAnalysisResponse expected{
        {{FindingSeverity::blocker, FindingCategory::permissions, QStringLiteral("5.1.1"),
          QStringLiteral("Camera purpose missing"), QStringLiteral("d"), QStringLiteral("e"),
          std::vector<FindingEvidenceField>{
              {QStringLiteral("Key"), QStringLiteral("NSCameraUsageDescription")}},
          QStringLiteral("f"), 0.9, EvidenceSource::build, resolution},
         {FindingSeverity::manual, FindingCategory::metadata, QStringLiteral("2.3"),
          QStringLiteral("Review notes"), QStringLiteral("d2"), QStringLiteral("e2"), std::nullopt,
          QStringLiteral("f2"), 1.0, EvidenceSource::appStoreConnect, std::nullopt}},
        std::vector<RemoteFindingResolution>{
            {QStringLiteral("build.rule.0"),
             {QStringLiteral("s0"), {}, QStringLiteral("v0"), QStringLiteral("p0")}}},
        {QStringLiteral("Privacy manifest present")},
        42,
        QStringLiteral("2026.09.1"),
        QStringLiteral("3")};
    EXPECT_EQ(response, expected);
}

TEST(BuildAnalysisResponse, OptionalKeysMayBeMissingOrNull) {
    const BuildAnalysisResponse response =
        decode(R"({"findings":[],"resolutions":null,"passedChecks":[],
                   "reviewedEvidenceCount":0,"rulesVersion":"r"})");
    EXPECT_EQ(response.resolutions, std::nullopt);
    EXPECT_EQ(response.solutionSchemaVersion, std::nullopt);
}

TEST(BuildAnalysisResponse, AnyShapeErrorFailsTheWholeAnswer) {
    const struct {
        const char* name;
        const char* from;
        const char* to;
    } changes[] = {
        {"unknown severity", R"("severity": "blocker")", R"("severity": "critical")"},
        {"unknown category", R"("category": "Metadata")", R"("category": "metadata")"},
        {"unknown source", R"("source": "Build")", R"("source": "build")"},
        {"findings missing", R"("findings": [)", R"("findingz": [)"},
        {"passed checks null", R"("passedChecks": ["Privacy manifest present"])",
         R"("passedChecks": null)"},
        {"count fractional", R"("reviewedEvidenceCount": 42)", R"("reviewedEvidenceCount": 4.5)"},
        {"count as text", R"("reviewedEvidenceCount": 42)", R"("reviewedEvidenceCount": "42")"},
        {"rules version missing", R"("rulesVersion": "2026.09.1",)", ""},
        {"schema version wrong type", R"("solutionSchemaVersion": "3")",
         R"("solutionSchemaVersion": 3)"},
        {"confidence as text", R"("confidence": 0.9)", R"("confidence": "0.9")"},
        {"title missing", R"("title": "Review notes",)", ""},
        {"resolution without steps", R"("steps": [{"title": "t", "instruction": "i"}],)", ""},
        {"resolutions entry without id", R"("findingId": "build.rule.0", )", ""},
        {"evidence field without value", R"(, "value": "NSCameraUsageDescription")", ""},
    };
    LocalHttpServer server;
    const BerthwatchBackend backend(server.url());
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        QByteArray body(fullAnalysis);
        ASSERT_EQ(body.count(change.from), 1);
        body.replace(change.from, change.to);
        EXPECT_THROW(decode(body), json::DecodeError);

        server.route("POST", "/v1/scans/abc/analyze", test::answer(200, body.toStdString()));
        try {
            backend.reviewBuildEvidence(std::nullopt, QStringLiteral("abc"), test::sampleReport());
            ADD_FAILURE() << "the answer decoded";
        } catch (const BackendError& error) {
            EXPECT_EQ(error.kind(), BackendError::Kind::invalidResponse);
        }
    }
}

} // namespace
} // namespace bw
