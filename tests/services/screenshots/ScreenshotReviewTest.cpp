#include "model/ReportHelpers.h"
#include "platform/core/Cancelled.h"
#include "services/screenshots/ScreenshotAIService.h"
#include "tests/services/backend/BackendTestSupport.h"
#include "tests/support/Findings.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::LocalHttpServer;
using test::RecordedRequest;
using test::ScriptedResponse;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string analyzePath = "/v1/screenshots/analyze";

QJsonObject bodyOf(const RecordedRequest& request) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
}

QJsonObject assessmentFor(const QJsonValue& upload, bool analyzed = true) {
    return {{u"fileName"_s, upload[u"fileName"]},
            {u"reviewArea"_s, upload[u"reviewArea"]},
            {u"status"_s, analyzed ? u"passed"_s : u"skipped"_s},
            {u"summary"_s, u"Looks fine: "_s + upload[u"reviewArea"].toString()},
            {u"analyzed"_s, analyzed}};
}

QJsonObject serviceFinding(const QString& severity, const QString& guideline, double confidence) {
    return {{u"severity"_s, severity},    {u"guideline"_s, guideline}, {u"title"_s, u"t"_s},
            {u"detail"_s, u"d"_s},        {u"evidence"_s, u"e"_s},     {u"fix"_s, u"f"_s},
            {u"confidence"_s, confidence}};
}

ScriptedResponse answer(const QJsonArray& findings, const QJsonArray& passedChecks, int analyzed,
                        const QJsonArray& assessments) {
    const QJsonObject body{{u"findings"_s, findings},
                           {u"passedChecks"_s, passedChecks},
                           {u"analyzedCount"_s, analyzed},
                           {u"assessments"_s, assessments},
                           {u"unknownKey"_s, true}};
    return {200, QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString()};
}

// A service that assesses every upload it is sent.
ScriptedResponse assessAll(const RecordedRequest& request) {
    QJsonArray assessments;
    for (const QJsonValue& upload : bodyOf(request)[u"screenshots"].toArray()) {
        assessments.append(assessmentFor(upload));
    }
    return answer({}, {u"Batch "_s + bodyOf(request)[u"batchId"].toString()},
                  int(assessments.size()), assessments);
}

struct ReviewOptions {
    bool store = false;
    int batchSize = 8;
    std::stop_token stop = {};
    std::optional<QString> token = u"token-1"_s;
};

class ScreenshotReview : public ::testing::Test {
protected:
    ScreenshotReview() { test::bypassProxies(); }

    QString screenshot(const QString& name, QSize size = QSize(1320, 2868)) {
        return folder.write(name, test::pngData(test::quadrantImage(size)));
    }

    ScreenshotReviewResult review(const std::map<ScreenshotPrompt, QString>& areaFiles,
                                  const ReviewOptions& options = {}) const {
        const ScreenshotAIService service(BerthwatchBackend(base), options.batchSize);
        return service.review(areaFiles, test::sampleReport().metadata, u"abc"_s, options.token,
                              options.store, options.stop);
    }

    test::TestFolder folder;
    LocalHttpServer server;
    QUrl base = server.url();
};

TEST_F(ScreenshotReview, NoSlotsSendNothing) {
    const ScreenshotReviewResult result = review({});
    EXPECT_EQ(result, ScreenshotReviewResult{});
    EXPECT_THAT(server.requests(), IsEmpty());
}

TEST_F(ScreenshotReview, SendsOneBatchInAreaOrderWithTheExactBody) {
    server.route("POST", analyzePath, assessAll);
    const QString signIn = screenshot(u"Login.png"_s);
    const QString paywall = screenshot(u"Paywall.png"_s);
    const ScreenshotReviewResult result =
        review({{ScreenshotPrompt::signIn, signIn}, {ScreenshotPrompt::paywall, paywall}});

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("Authorization"), "Bearer token-1");
    const QJsonObject body = bodyOf(requests[0]);
    EXPECT_EQ(body[u"batchId"], u"abc-0"_s);
    EXPECT_EQ(body[u"purpose"], u"review_evidence"_s);
    EXPECT_EQ(body[u"app"].toObject(),
              (QJsonObject{{u"name"_s, u"FlightDeck"_s},
                           {u"bundleIdentifier"_s, u"com.example.flightdeck"_s},
                           {u"version"_s, u"2.4"_s},
                           {u"platform"_s, platformDisplayName(test::sampleReport().metadata)}}));
    const QJsonArray uploads = body[u"screenshots"].toArray();
    ASSERT_EQ(uploads.size(), 2);
    const QJsonObject first = uploads[0].toObject();
    EXPECT_EQ(first[u"fileName"], u"Paywall.jpg"_s);
    EXPECT_EQ(first[u"mediaType"], u"image/jpeg"_s);
    EXPECT_EQ(first[u"reviewArea"], u"paywall"_s);
    EXPECT_EQ(uploads[1][u"fileName"], u"Login.jpg"_s);
    EXPECT_EQ(uploads[1][u"reviewArea"], u"signIn"_s);
    // Standard Base64 of a JPEG scaled to 1800 pixels on the longer side.
    const QString base64 = first[u"base64"].toString();
    EXPECT_FALSE(base64.contains(u'\n'));
    const QByteArray jpeg = QByteArray::fromBase64(base64.toLatin1());
    ASSERT_TRUE(jpeg.startsWith("\xff\xd8"));
    EXPECT_EQ(QImage::fromData(jpeg, "jpeg").size(), QSize(828, 1800));

    EXPECT_THAT(result.findings, IsEmpty());
    EXPECT_THAT(
        result.passedChecks,
        ElementsAre(u"Batch abc-0"_s, u"Semantically reviewed 2 user selected screenshots"_s));
    // Screenshots for the store listing say so.
    review({{ScreenshotPrompt::signIn, signIn}}, {.store = true});
    EXPECT_EQ(bodyOf(server.requests().at(1))[u"purpose"], u"app_store_listing"_s);
    // Each assessment names the file the user chose, not the one sent.
    ASSERT_EQ(result.assessments.size(), 2u);
    EXPECT_EQ(result.assessments[0].fileName, u"Paywall.png"_s);
}

TEST_F(ScreenshotReview, TurnsTheServiceFindingsIntoReportFindings) {
    server.route("POST", analyzePath, [](const RecordedRequest& request) {
        const QJsonValue upload = bodyOf(request)[u"screenshots"].toArray()[0];
        const auto finding = [](double confidence) {
            QJsonObject finding = serviceFinding(u"risk"_s, u"3.1.2"_s, confidence);
            finding[u"fileName"_s] = u"other.jpg"_s; // named files and areas are not trusted
            finding[u"reviewArea"_s] = u"restore"_s;
            return finding;
        };
        return answer({finding(1.7), finding(-0.2), finding(0.42)}, {}, 1,
                      {assessmentFor(upload, false)});
    });
    const ScreenshotReviewResult result =
        review({{ScreenshotPrompt::paywall, screenshot(u"P.png"_s, QSize(200, 400))}});
    ASSERT_THAT(test::findingIds(result.findings),
                ElementsAre(u"screenshot.ai.abc.0.0"_s, u"screenshot.ai.abc.0.1"_s,
                            u"screenshot.ai.abc.0.2"_s))
        << test::describeFindings(result.findings);
    EXPECT_EQ(result.findings[1].confidence, 0.0);
    EXPECT_EQ(result.findings[2].confidence, 0.42);
    EXPECT_EQ(result.findings[0], (Finding{u"screenshot.ai.abc.0.0"_s, FindingSeverity::risk,
                                           FindingCategory::screenshots, u"3.1.2"_s, std::nullopt,
                                           u"t"_s, u"d"_s, u"e"_s, std::nullopt, u"f"_s, 1.0,
                                           EvidenceSource::screenshot, std::nullopt}));
    // Assessed but not analysed: no count and no passed check.
    EXPECT_EQ(result.analyzedCount, 0);
    EXPECT_THAT(result.passedChecks, IsEmpty());
    ASSERT_EQ(result.assessments.size(), 1u);
    EXPECT_EQ(result.assessments[0].status, ScreenshotAssessmentStatus::skipped);
}

// Files that cannot be prepared are left out of the request; files without exactly one
// assessment of their own in the answer need a manual look.
TEST_F(ScreenshotReview, UnpreparedAndUnassessedFilesBecomeFindings) {
    server.route("POST", analyzePath, [](const RecordedRequest& request) {
        const QJsonArray uploads = bodyOf(request)[u"screenshots"].toArray();
        QJsonObject wrongName = assessmentFor(uploads[0]);
        wrongName[u"fileName"] = u"Paywall.png"_s; // the original name, not the one sent
        QJsonObject unsent = assessmentFor(uploads[0]);
        unsent[u"fileName"] = u"Never.jpg"_s;
        return answer({serviceFinding(u"manual"_s, u"4.8"_s, 0.5)}, {u"Seen"_s}, 3,
                      {wrongName, unsent, assessmentFor(uploads[1]), assessmentFor(uploads[1]),
                       assessmentFor(uploads[2])});
    });
    const ScreenshotReviewResult result =
        review({{ScreenshotPrompt::paywall, screenshot(u"Paywall.png"_s, QSize(200, 400))},
                {ScreenshotPrompt::signIn, screenshot(u"Login.png"_s, QSize(200, 400))},
                {ScreenshotPrompt::accountDeletion, folder.path() + u"/gone.png"_s},
                {ScreenshotPrompt::permissions, screenshot(u"Camera.png"_s, QSize(200, 400))},
                {ScreenshotPrompt::restore, folder.write(u"notes.png"_s, "just text")}});

    const QJsonArray uploads = bodyOf(server.requests().at(0))[u"screenshots"].toArray();
    ASSERT_EQ(uploads.size(), 3);
    EXPECT_EQ(uploads[2][u"reviewArea"], u"permissions"_s);
    ASSERT_THAT(test::findingIds(result.findings),
                ElementsAre(u"screenshot.ai.preparation.accountDeletion"_s,
                            u"screenshot.ai.preparation.restore"_s, u"screenshot.ai.abc.0.0"_s,
                            u"screenshot.ai.coverage.paywall"_s,
                            u"screenshot.ai.coverage.signIn"_s))
        << test::describeFindings(result.findings);
    EXPECT_EQ(result.findings[0].evidence, u"gone.png: No such file or directory"_s);
    EXPECT_EQ(result.findings[1].evidence,
              u"notes.png: notes.png could not be prepared for screenshot review."_s);
    EXPECT_EQ(result.findings[3].evidence, u"Paywall.png was selected for Paywall."_s);
    EXPECT_EQ(result.findings[4].evidence, u"Login.png was selected for Sign in."_s);
    // The answer's other content is kept; the unsent file's assessment is ignored.
    EXPECT_THAT(result.passedChecks,
                ElementsAre(u"Seen"_s, u"Semantically reviewed 1 user selected screenshot"_s));
    EXPECT_EQ(result.analyzedCount, 1);
    std::vector<ScreenshotAssessmentStatus> statuses;
    for (const ScreenshotAssessment& assessment : result.assessments) {
        statuses.push_back(assessment.status);
    }
    using enum ScreenshotAssessmentStatus;
    EXPECT_THAT(statuses, ElementsAre(failed, failed, failed, passed, failed));

    // Nothing left to send, here beyond the pixel limit: no request at all.
    const ScreenshotReviewResult unsent =
        review({{ScreenshotPrompt::paywall,
                 folder.write(u"b.png"_s, test::pngDeclaring(QSize(100000, 100000)))}});
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_THAT(test::findingIds(unsent.findings),
                ElementsAre(u"screenshot.ai.preparation.paywall"_s));
}

// A batch the service fails, or answers with an area it was not asked about, fails only its files.
TEST_F(ScreenshotReview, AFailingBatchAmongGoodOnesFailsOnlyItsFiles) {
    server.route("POST", analyzePath, [](const RecordedRequest& request) {
        if (bodyOf(request)[u"batchId"] == u"abc-1"_s) {
            return ScriptedResponse(500, R"({"error":"Screenshot model overloaded"})");
        }
        if (bodyOf(request)[u"batchId"] == u"abc-2"_s) {
            QJsonObject finding = serviceFinding(u"risk"_s, u"1"_s, 1);
            finding[u"reviewArea"_s] = u"home"_s;
            return answer({finding}, {}, 0, {});
        }
        return assessAll(request);
    });
    // One file chosen for every area is sent once per area.
    const QString file = screenshot(u"Shot.final.png"_s, QSize(200, 400));
    std::map<ScreenshotPrompt, QString> areaFiles;
    for (const ScreenshotPrompt area : allCases<ScreenshotPrompt>()) {
        areaFiles[area] = file;
    }
    const ScreenshotReviewResult result =
        review(areaFiles, {.batchSize = 2, .token = std::nullopt});

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    std::vector<std::vector<QString>> sent;
    QSet<QString> expectations; // every area sends its own
    for (const RecordedRequest& request : requests) {
        std::vector<QString> areas;
        for (const QJsonValue& upload : bodyOf(request)[u"screenshots"].toArray()) {
            areas.push_back(upload[u"reviewArea"].toString());
            EXPECT_EQ(upload[u"fileName"], u"Shot.final.jpg"_s);
            EXPECT_EQ(request.header("Authorization"), std::nullopt);
            expectations.insert(upload[u"reviewExpectation"].toString());
        }
        sent.push_back(areas);
    }
    EXPECT_EQ(sent, (std::vector<std::vector<QString>>{{u"paywall"_s, u"signIn"_s},
                                                       {u"accountDeletion"_s, u"permissions"_s},
                                                       {u"restore"_s}}));
    EXPECT_EQ(expectations.size(), 5);
    EXPECT_FALSE(expectations.contains(QString()));
    ASSERT_THAT(test::findingIds(result.findings),
                ElementsAre(u"screenshot.ai.unavailable.accountDeletion"_s,
                            u"screenshot.ai.unavailable.permissions"_s,
                            u"screenshot.ai.unavailable.restore"_s))
        << test::describeFindings(result.findings);
    EXPECT_EQ(result.findings[0].evidence, u"Shot.final.png: Screenshot model overloaded"_s);
    EXPECT_EQ(result.findings[2].evidence,
              u"Shot.final.png: The Berthwatch service returned an unreadable response."_s);
    test::expectSoundFindings(result.findings, EvidenceSource::screenshot);
    EXPECT_THAT(
        result.passedChecks,
        ElementsAre(u"Batch abc-0"_s, u"Semantically reviewed 2 user selected screenshots"_s));
    ASSERT_EQ(result.assessments.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(result.assessments[i].reviewArea, ScreenshotPrompt(i));
        EXPECT_EQ(result.assessments[i].fileName, u"Shot.final.png"_s);
        EXPECT_EQ(result.assessments[i].analyzed, i < 2) << i;
    }
}

// Stopped before the first request, as the service answers with an error, and after a batch that
// succeeded (the next one does not start). A request waiting for its answer is the transport's.
TEST_F(ScreenshotReview, CancellationEndsTheReviewAtEachCheckpoint) {
    const QString file = screenshot(u"Shot.png"_s, QSize(200, 400));
    const std::map<ScreenshotPrompt, QString> areaFiles = {{ScreenshotPrompt::paywall, file},
                                                           {ScreenshotPrompt::restore, file}};
    const auto error = [](const RecordedRequest&) { return ScriptedResponse(503, "{}"); };
    const struct {
        const char* name;
        bool stoppedBefore;
        ScriptedResponse (*answer)(const RecordedRequest&);
        int batchSize; // one batch at the error, so that only its own check can stop the review
        std::size_t requests;
    } cases[] = {
        {"before", true, assessAll, 1, 0},
        {"at an error", false, error, 8, 1},
        {"between batches", false, assessAll, 1, 1},
    };
    std::size_t sent = 0;
    for (const auto& c : cases) {
        std::stop_source source;
        if (c.stoppedBefore) {
            source.request_stop();
        }
        server.route("POST", analyzePath, [&source, &c](const RecordedRequest& request) {
            source.request_stop();
            return c.answer(request);
        });
        EXPECT_THROW(review(areaFiles, {.batchSize = c.batchSize, .stop = source.get_token()}),
                     Cancelled)
            << c.name;
        EXPECT_EQ(server.requests().size() - sent, c.requests) << c.name;
        sent = server.requests().size();
    }
}

} // namespace
} // namespace bw
