#include "app/GuidedSolutions.h"
#include "model/ReportStoreError.h"
#include "tests/app/ModelHarness.h"
#include "tests/services/appstoreconnect/FakeAppStoreConnect.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::isAt;
using test::ModelHarness;
using test::PhaseRecorder;
using test::RecordedRequest;
using test::ScriptedResponse;
using test::waitUntil;

const char* const analysis = R"({
  "findings": [
    {"severity": "risk", "category": "Privacy", "guideline": "5.1.2", "title": "Tracking domains",
     "detail": "d", "evidence": "e", "fix": "f", "confidence": 1.4, "source": "Build"}],
  "passedChecks": ["Reviewed by the service"],
  "reviewedEvidenceCount": 7, "rulesVersion": "2026.09.1"})";

// Assesses every screenshot it is sent.
ScriptedResponse assessAll(const RecordedRequest& request) {
    QJsonArray assessments;
    const QJsonObject body =
        QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
    for (const QJsonValue& upload : body[u"screenshots"].toArray()) {
        assessments.append(QJsonObject{{u"fileName"_s, upload[u"fileName"]},
                                       {u"reviewArea"_s, upload[u"reviewArea"]},
                                       {u"status"_s, u"passed"_s},
                                       {u"summary"_s, u"Fine"_s},
                                       {u"analyzed"_s, true}});
    }
    return {200, QJsonDocument(QJsonObject{{u"findings"_s, QJsonArray()},
                                           {u"passedChecks"_s, QJsonArray()},
                                           {u"analyzedCount"_s, assessments.size()},
                                           {u"assessments"_s, assessments}})
                     .toJson()
                     .toStdString()};
}

ScriptedResponse delayed(ScriptedResponse response) {
    response.delay = std::chrono::seconds(20);
    return response;
}

// A connected App Store Connect, a web service that answers every review, a staged .ipa with
// two screenshots.
struct ScanSetup {
    ScanSetup() {
        asc.serve("/v1/apps", test::ascList(u"v1/apps"_s, {}));
        harness.backend.route("POST", "/v1/screenshots/analyze", assessAll);
        harness.backend.fallback(
            [](const RecordedRequest&) { return ScriptedResponse(200, analysis); });
    }

    AppModel& stageWithScreenshots() {
        AppModel& model = harness.launch({u"berthwatch"_s}, asc.service());
        harness.stage(test::fixtureBuild(u"Clean.ipa"_s));
        model.setScreenshot(harness.screenshot(u"Paywall.png"_s), ScreenshotPrompt::paywall);
        model.setScreenshot(harness.screenshot(u"Restore.png"_s), ScreenshotPrompt::restore);
        return model;
    }

    // Runs the scan to "Preparing report", then lets the presentation time pass.
    void finishScan(AppModel& model) {
        ASSERT_TRUE(waitUntil([&] { return isAt(model, u"Preparing report"_s); }));
        harness.clock.advance(seconds(36));
        harness.clock.advance(seconds(0.7));
        ASSERT_TRUE(waitUntil([&] { return !model.isScanRunning(); }));
    }

    std::vector<RecordedRequest> analyzeRequests() const {
        std::vector<RecordedRequest> found;
        for (const RecordedRequest& request : harness.backend.requests()) {
            if (request.path.starts_with("/v1/scans/")) {
                found.push_back(request);
            }
        }
        return found;
    }

    test::FakeAppStoreConnect asc;
    ModelHarness harness;
};

class ScanPipeline : public ::testing::Test, public ScanSetup {};

TEST_F(ScanPipeline, StagedIpaBecomesASavedRankedReportAfterTheMinimumPresentation) {
    AppModel& model = stageWithScreenshots();
    ASSERT_TRUE(model.isASCConnected());
    PhaseRecorder recorder(model);
    QElapsedTimer elapsed;
    elapsed.start();
    model.startScan(true);
    ASSERT_TRUE(waitUntil([&] { return isAt(model, u"Preparing report"_s); }));

    // The 36 s run on the manual clock: nothing until they have passed since the start.
    harness.clock.advance(seconds(35.9));
    EXPECT_TRUE(isAt(model, u"Preparing report"_s));
    harness.clock.advance(seconds(0.1));
    EXPECT_TRUE(isAt(model, u"Report ready"_s));
    EXPECT_FALSE(model.report());
    harness.clock.advance(seconds(0.7));
    ASSERT_TRUE(waitUntil([&] { return !model.isScanRunning(); }));
    EXPECT_LT(elapsed.elapsed(), 30'000);

    // Phases: preparing, the inspection up to 0.82, then each service step in order.
    const auto& phases = recorder.phases();
    ASSERT_GT(phases.size(), 8u);
    EXPECT_EQ(phases.front(), ScanPhase::preparing());
    EXPECT_EQ(phases.back(), ScanPhase::finished());
    const std::vector<QString> seen = recorder.messages();
    const std::vector<QString> tail(seen.end() - 7, seen.end());
    EXPECT_EQ(tail, (std::vector<QString>{
                        u"Comparing App Store Connect"_s, u"Checking screenshots locally"_s,
                        u"Reviewing approved screenshots"_s, u"Preparing guided solutions"_s,
                        u"Preparing report"_s, u"Report ready"_s, u"-"_s}));

    // The report: first in the history, on disk, merged and ranked.
    ASSERT_TRUE(model.report());
    const ScanReport& report = *model.report();
    ASSERT_FALSE(model.reports().empty());
    EXPECT_EQ(model.reports().front(), report);
    const std::vector<ScanReport> saved = ReportStore(harness.history).load().reports;
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].id, report.id);
    EXPECT_EQ(saved[0].findings, report.findings);
    EXPECT_FALSE(model.isScanCancellationAvailable());
    const QString id = scanIdentifier(report);
    const auto has = [&](const QString& findingID) {
        return std::ranges::any_of(report.findings,
                                   [&](const Finding& f) { return f.id == findingID; });
    };
    EXPECT_TRUE(has(u"build.ai."_s + id + u".0"_s));
    EXPECT_FALSE(has(u"screenshot.semantic-review"_s));
    EXPECT_TRUE(std::ranges::is_sorted(report.findings, rankedOrder));
    EXPECT_EQ(report.rulesVersion, u"2026.09.1"_s);
    EXPECT_EQ(report.screenshotSummary->reviewAreas,
              (std::vector<QString>{u"paywall"_s, u"restore"_s}));

    // The scan is known to the web service by the report's id in lower case, without a token.
    const auto requests = analyzeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/v1/scans/" + id.toStdString() + "/analyze");
    EXPECT_EQ(id, id.toLower());
    EXPECT_FALSE(requests[0].header("Authorization"));
}

TEST_F(ScanPipeline, ASlowScanShowsItsReportWithoutFurtherWait) {
    AppModel& model = stageWithScreenshots();
    harness.backend.fallback([](const RecordedRequest&) {
        ScriptedResponse response(200, analysis);
        response.delay = std::chrono::milliseconds(300);
        return response;
    });
    model.startScan(false);
    ASSERT_TRUE(waitUntil([&] { return isAt(model, u"Preparing guided solutions"_s); }));
    // The minimum presentation counts from the start on the injected monotonic clock.
    harness.clock.advance(seconds(40));
    ASSERT_TRUE(waitUntil([&] { return isAt(model, u"Report ready"_s); }));
}

TEST_F(ScanPipeline, CancellingEndsTheScanAtOnceAfterAnyStep) {
    const struct {
        const char* step;
        std::function<void(ScanSetup&)> holdUp;
        std::size_t analyzeRequests; // at most
    } cases[] = {
        {"", [](ScanSetup&) {}, 0},
        {"Comparing App Store Connect",
         [](ScanSetup& test) {
             test.asc.serve("/v1/apps", delayed({200, test::ascList(u"v1/apps"_s, {})}));
         },
         0},
        {"Reviewing approved screenshots",
         [](ScanSetup& test) {
             test.harness.backend.route("POST", "/v1/screenshots/analyze",
                                        delayed(ScriptedResponse(500)));
         },
         0},
        {"Preparing guided solutions",
         [](ScanSetup& test) {
             test.harness.backend.fallback([](const RecordedRequest&) {
                 return delayed({200, analysis});
             });
         },
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        ScanSetup test;
        c.holdUp(test);
        AppModel& model = test.stageWithScreenshots();
        PhaseRecorder recorder(model);
        QElapsedTimer elapsed;
        elapsed.start();
        model.startScan(true);
        if (*c.step) {
            ASSERT_TRUE(waitUntil([&] { return isAt(model, QString::fromUtf8(c.step)); }));
        }
        model.cancelScan();
        EXPECT_EQ(isAt(model, u"Cancelling scan"_s), *c.step != 0);
        ASSERT_TRUE(waitUntil([&] { return !model.isScanRunning(); }, 10));
        EXPECT_LT(elapsed.elapsed(), 10'000);

        EXPECT_EQ(model.scanPhase(), ScanPhase::idle());
        EXPECT_EQ(model.importMessage(), u"Scan cancelled."_s);
        EXPECT_FALSE(model.isScanCancellationAvailable());
        EXPECT_EQ(std::ranges::count(recorder.messages(), u"Preparing report"_s), 0);
        EXPECT_TRUE(model.reports().empty());
        EXPECT_FALSE(model.report());
        EXPECT_TRUE(model.staged());
        EXPECT_LE(test.analyzeRequests().size(), c.analyzeRequests);
    }
}

TEST_F(ScanPipeline, AnOutOfDateAnswerEndsTheScanFailedWithNothingSaved) {
    harness.backend.fallback([](const RecordedRequest&) {
        return ScriptedResponse(409, R"({"error":"This version is out of date."})");
    });
    AppModel& model = stageWithScreenshots();
    model.startScan(false);
    ASSERT_TRUE(waitUntil([&] { return !model.isScanRunning(); }));
    EXPECT_EQ(model.scanPhase(), ScanPhase::failed(u"This version is out of date."_s));
    EXPECT_EQ(model.importMessage(), u"This version is out of date."_s);
    EXPECT_TRUE(model.isUpdateRequired());
    EXPECT_TRUE(model.reports().empty());
}

TEST_F(ScanPipeline, AReportThatCannotBeSavedStaysOnScreenWithANotice) {
    AppModel& model = stageWithScreenshots();
    QFile damaged(harness.history + u"/reports.json"_s);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not json");
    damaged.close();
    model.startScan(false);
    finishScan(model);
    ASSERT_TRUE(model.report());
    EXPECT_EQ(model.reports().front(), *model.report());
    EXPECT_EQ(model.reportNotice(),
              u"The review finished, but this report could not be saved on the Mac. "_s +
                  ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore)
                      .description());
}

TEST_F(ScanPipeline, OneScanAtATimeAndNeverWhileAnImportIsLaunching) {
    AppModel& model = harness.launch({u"berthwatch"_s}, asc.service());
    model.startScan(false); // nothing staged: the run ends at once
    EXPECT_FALSE(model.isScanRunning());
    EXPECT_EQ(model.scanPhase(), ScanPhase::idle());

    harness.stage(test::fixtureBuild(u"Clean.ipa"_s));
    model.setBuildImportLaunching(true);
    model.startScan(false);
    EXPECT_FALSE(model.isScanRunning());
    model.setBuildImportLaunching(false);

    const StagedBuild staged = *model.staged();
    model.startScan(false);
    model.startScan(false);
    EXPECT_TRUE(model.isScanRunning());
    // A build whose launch animation ends while the scan runs is not imported.
    model.importBuild(test::fixtureBuild(u"Debug.ipa"_s));
    EXPECT_EQ(model.staged(), staged);
    finishScan(model);
    EXPECT_EQ(analyzeRequests().size(), 1u);
    EXPECT_EQ(model.staged(), staged);
}

} // namespace
} // namespace bw
