#include "app/GuidedSolutions.h"
#include "app/ServiceFailures.h"
#include "model/FindingOrder.h"
#include "model/ReportStoreError.h"
#include "platform/fs/TreeRemoval.h"
#include "platform/http/TransportError.h"
#include "services/appstoreconnect/AppStoreConnectError.h"
#include "tests/app/ModelHarness.h"
#include "tests/services/appstoreconnect/FakeAppStoreConnect.h"
#include "tests/support/Findings.h"
#include "tests/support/Reports.h"
#include "tests/support/RunTool.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::isAt;
using test::ScriptedResponse;
using test::waitFor;
using Request = test::RecordedRequest;

const char* const analysis = R"({"findings": [{"severity": "risk", "category": "Privacy",
  "guideline": "5.1.2", "title": "Tracking domains", "detail": "d", "evidence": "e", "fix": "f",
  "confidence": 1.4, "source": "Build"}], "passedChecks": ["Reviewed by the service"],
  "reviewedEvidenceCount": 7, "rulesVersion": "2026.09.1"})";
const char* const assessed = R"({"findings": [], "passedChecks": [], "analyzedCount": 2,
  "assessments": [{"fileName": "Paywall.jpg", "reviewArea": "paywall", "status": "passed",
  "summary": "Fine", "analyzed": true}, {"fileName": "Restore.jpg", "reviewArea": "restore",
  "status": "passed", "summary": "Fine", "analyzed": true}]})";

ScriptedResponse held(ScriptedResponse response, int milliseconds = 20'000) {
    response.delay = std::chrono::milliseconds(milliseconds);
    return response;
}

// A connected App Store Connect and a web service that answers every review.
struct ScanSetup {
    ScanSetup() {
        asc.serve("/v1/apps", test::ascList(u"v1/apps"_s, {}));
        harness.backend.route("POST", "/v1/screenshots/analyze", ScriptedResponse(200, assessed));
        answerAnalysis({200, analysis});
    }
    void answerAnalysis(ScriptedResponse response) {
        harness.backend.fallback([response](const Request&) { return response; });
    }
    // A fresh launch with a staged .ipa and two screenshots, App Store Connect connected or not.
    AppModel& stageWithScreenshots(bool connected = true) {
        AppModel& model =
            connected ? harness.launch({u"berthwatch"_s}, asc.service()) : harness.launch();
        harness.stage(test::fixtureBuild(u"Clean.ipa"_s));
        model.setScreenshot(harness.screenshot(u"Paywall.png"_s), ScreenshotPrompt::paywall);
        model.setScreenshot(harness.screenshot(u"Restore.png"_s), ScreenshotPrompt::restore);
        return model;
    }
    // Runs the scan to "Preparing report", then lets the presentation time pass.
    void finishScan(AppModel& model) {
        ASSERT_TRUE(waitFor([&] { return isAt(model, u"Preparing report"_s); }));
        harness.clock.advance(seconds(36.7));
        ASSERT_TRUE(waitFor([&] { return !model.isScanRunning(); }));
    }
    // Requests to the web service's reviews of screenshots and of the build evidence.
    std::size_t reviewRequests() const {
        return std::ranges::count_if(harness.backend.requests(),
                                     [](const Request& r) { return r.path.starts_with("/v1/s"); });
    }

    test::FakeAppStoreConnect asc;
    test::ModelHarness harness;
};

class ScanPipeline : public ::testing::Test, public ScanSetup {};

TEST_F(ScanPipeline, StagedIpaBecomesASavedRankedReportAfterTheMinimumPresentation) {
    AppModel& model = stageWithScreenshots();
    test::PhaseRecorder recorder(model);
    QElapsedTimer elapsed;
    elapsed.start();
    model.startScan(true);
    ASSERT_TRUE(waitFor([&] { return isAt(model, u"Preparing report"_s); }));
    // The 36 s run on the injected monotonic clock: nothing until they have passed.
    harness.clock.advance(seconds(35.9));
    EXPECT_TRUE(isAt(model, u"Preparing report"_s));
    harness.clock.advance(seconds(0.1));
    EXPECT_TRUE(isAt(model, u"Report ready"_s));
    harness.clock.advance(seconds(0.7));
    ASSERT_TRUE(waitFor([&] { return !model.isScanRunning(); }));
    EXPECT_LT(elapsed.elapsed(), 30'000);

    // Preparing, the inspection up to 0.82, then each service step in order.
    const std::vector<QString>& seen = recorder.messages;
    ASSERT_GT(seen.size(), 8u);
    EXPECT_EQ(seen.front(), u"-"_s);
    EXPECT_EQ(
        std::vector(seen.end() - 7, seen.end()),
        (std::vector<QString>{u"Comparing App Store Connect"_s, u"Checking screenshots locally"_s,
                              u"Reviewing approved screenshots"_s, u"Preparing guided solutions"_s,
                              u"Preparing report"_s, u"Report ready"_s, u"-"_s}));

    // The report: shown, first in the history, merged and ranked.
    ASSERT_TRUE(model.report());
    const ScanReport& report = *model.report();
    EXPECT_EQ(model.scanPhase(), ScanPhase::finished());
    EXPECT_EQ(report.verdict, Verdict::needsAttention); // App Store Connect: the app is missing
    EXPECT_EQ(model.reports(), std::vector{report});
    const QString id = report.id.toString(QUuid::WithoutBraces).toLower();
    EXPECT_TRUE(test::findingWithId(report.findings, u"build.ai."_s + id + u".0"_s));
    EXPECT_FALSE(test::findingWithId(report.findings, u"screenshot.semantic-review"_s));
    std::vector<Finding> ranked = report.findings;
    rankFindings(ranked, FindingRanking::severityAndTitle);
    EXPECT_EQ(ranked, report.findings);
    EXPECT_EQ(report.screenshotSummary->reviewAreas,
              (std::vector<QString>{u"paywall"_s, u"restore"_s}));
    // The web service knows the scan by the report's id in lower case, sent without a token.
    const Request request = harness.backend.requests().back();
    EXPECT_EQ(request.path, "/v1/scans/" + id.toStdString() + "/analyze");
    EXPECT_FALSE(request.header("Authorization"));
}

// Risks alone leave a report without confirmed blockers (the connected scan above has one).
TEST(ScanVerdict, OnlyABlockerMakesTheReportNeedAttention) {
    ScanSetup test;
    AppModel& model = test.stageWithScreenshots(false);
    model.startScan(true);
    test.finishScan(model);
    ASSERT_TRUE(model.report());
    const ScanReport& report = *model.report();
    EXPECT_GT(std::ranges::count(report.findings, FindingSeverity::risk, &Finding::severity), 0);
    EXPECT_EQ(std::ranges::count(report.findings, FindingSeverity::blocker, &Finding::severity), 0);
    EXPECT_EQ(report.verdict, Verdict::noConfirmedBlockers);
    EXPECT_EQ(model.reports().front().verdict, report.verdict);
}

TEST_F(ScanPipeline, AFailingServiceBecomesAFindingAndOnlyAnOutOfDateAnswerEndsTheScan) {
    const struct {
        QString finding; // empty: the scan ends failed
        int ascStatus;
        ScriptedResponse analysisAnswer;
    } cases[] = {
        {u"asc.connection.unavailable"_s, 500, {200, analysis}},
        {u"build.ai.unavailable"_s, 200, {500, ""}},
        {{}, 200, {409, R"({"error":"Out of date."})"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finding.toStdString());
        ScanSetup test;
        if (c.ascStatus != 200) {
            test.asc.serve("/v1/apps", ScriptedResponse(c.ascStatus));
        }
        test.answerAnalysis(c.analysisAnswer);
        AppModel& model = test.stageWithScreenshots();
        model.startScan(true);
        if (c.finding.isEmpty()) {
            ASSERT_TRUE(waitFor([&] { return !model.isScanRunning(); }));
            EXPECT_EQ(model.scanPhase(), ScanPhase::failed(u"Out of date."_s));
            EXPECT_EQ(model.importMessage(), u"Out of date."_s);
            EXPECT_TRUE(model.isUpdateRequired());
            EXPECT_TRUE(model.reports().empty());
            continue;
        }
        test.finishScan(model);
        ASSERT_EQ(model.reports().size(), 1u);
        const ScanReport& report = model.reports().front();
        const auto finding = std::ranges::find(report.findings, c.finding, &Finding::id);
        ASSERT_NE(finding, report.findings.end());
        EXPECT_EQ(finding->severity, FindingSeverity::manual); // never turns the verdict
        EXPECT_FALSE(finding->evidence.isEmpty());
    }
}

TEST_F(ScanPipeline, CancellingEndsTheScanAtOnceAfterAnyStep) {
    const struct {
        const char* step;
        bool holdAppStoreConnect, holdAnalysis;
        std::size_t reviewRequests; // at most
    } cases[] = {
        {"", false, false, 0},
        {"Comparing App Store Connect", true, false, 0},
        {"Preparing guided solutions", false, true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        ScanSetup test;
        if (c.holdAppStoreConnect) {
            test.asc.serve("/v1/apps", held(ScriptedResponse(500)));
        }
        if (c.holdAnalysis) {
            test.answerAnalysis(held({200, analysis}));
        }
        AppModel& model = test.stageWithScreenshots();
        test::PhaseRecorder recorder(model);
        QElapsedTimer elapsed;
        elapsed.start();
        model.startScan(true);
        if (*c.step) {
            ASSERT_TRUE(waitFor([&] { return isAt(model, QString::fromUtf8(c.step)); }));
        }
        model.cancelScan();
        EXPECT_EQ(isAt(model, u"Cancelling scan"_s), *c.step != 0);
        ASSERT_TRUE(waitFor([&] { return !model.isScanRunning(); }, 10));
        EXPECT_LT(elapsed.elapsed(), 10'000);
        EXPECT_EQ(model.scanPhase(), ScanPhase::idle());
        EXPECT_EQ(model.importMessage(), u"Scan cancelled."_s);
        EXPECT_FALSE(model.isScanCancellationAvailable());
        EXPECT_EQ(std::ranges::count(recorder.messages, u"Preparing report"_s), 0);
        EXPECT_TRUE(model.reports().empty());
        EXPECT_TRUE(model.staged());
        EXPECT_LE(test.reviewRequests(), c.reviewRequests);
    }
}

// A cancelled scan ends and says so while the build it unpacked is still being removed: that goes
// on in the background, however many files the build holds.
TEST(ScanCancellation, EndsBeforeItsWorkFolderIsRemoved) {
    test::ModelHarness harness;
    const QString extracted = harness.folder.filePath(u"extracted"_s);
    // The scan's extraction (not the preview's) holds once it is done, until cancelled.
    harness.tools = harness.folder.tools(
        {{u"ditto"_s, "'" BW_LIBEXEC_DIR "/ditto' \"$@\" || exit\ncase \"$*\" in "
                      "*/Berthwatch-[0-9A-F]*) touch '" +
                          extracted.toUtf8() + "'; sleep 60;; esac"}});
    AppModel& model = harness.launch();
    harness.stage(test::fixtureBuild(u"Clean.ipa"_s));
    model.startScan(false);
    ASSERT_TRUE(waitFor([&] { return QFile::exists(extracted); }));
    const QStringList workFolders = harness.folder.leftovers(u"Berthwatch-"_s);
    ASSERT_EQ(workFolders.size(), 1);
    const QString workFolder = harness.folder.tempDirectory() + u'/' + workFolders[0];
    {
        const fs::BackgroundRemovalPause pause;
        model.cancelScan();
        ASSERT_TRUE(waitFor([&] { return !model.isScanRunning(); }, 30));
        EXPECT_EQ(model.importMessage(), u"Scan cancelled."_s);
        EXPECT_TRUE(QFileInfo::exists(workFolder));
    }
    EXPECT_TRUE(waitFor([&] { return harness.folder.leftovers().isEmpty(); }));
}

TEST_F(ScanPipeline, AReportThatCannotBeSavedStaysOnScreenWithANotice) {
    AppModel& model = stageWithScreenshots();
    harness.folder.write(u"history/reports.json"_s, "not json");
    model.startScan(false);
    ASSERT_TRUE(waitFor([&] { return isAt(model, u"Preparing report"_s); }));
    harness.clock.advance(seconds(36));
    // A deletion whose save is still on its way when the report is published: its failure takes
    // back the deletion only, never the new report.
    model.deleteReport(QUuid::createUuid());
    harness.clock.advance(seconds(0.7));
    ASSERT_TRUE(waitFor([&] { return !model.isScanRunning(); }));
    ASSERT_TRUE(model.report());
    EXPECT_EQ(model.reports(), std::vector{*model.report()});
    EXPECT_EQ(model.reportNotice(),
              u"The review finished, but this report could not be saved on this computer. "_s +
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

    answerAnalysis(held({200, analysis}, 300));
    const StagedBuild staged = *model.staged();
    model.startScan(false);
    model.startScan(false);
    // A build whose launch animation ends while the scan runs is not imported.
    model.importBuild(test::fixtureBuild(u"Debug.ipa"_s));
    EXPECT_EQ(model.staged(), staged);
    // A scan slower than the minimum presentation goes on to its report without waiting again.
    harness.clock.advance(seconds(40));
    const ScanPhase ready =
        ScanPhase::scanning(1.0, u"Report ready"_s); // the inspection's ends at 0.82
    ASSERT_TRUE(waitFor([&] { return model.scanPhase() == ready; }));
    harness.clock.advance(seconds(0.7));
    ASSERT_TRUE(waitFor([&] { return !model.isScanRunning(); }));
    EXPECT_EQ(reviewRequests(), 1u);
    EXPECT_EQ(model.staged(), staged);
}

RemoteBuildFinding remote(QString title, double confidence = 0.5, QString guideline = u"5.1"_s) {
    RemoteBuildFinding result{};
    result.category = FindingCategory::privacy;
    result.guideline = std::move(guideline);
    result.title = std::move(title);
    result.confidence = confidence;
    return result;
}

TEST(GuidedSolutions, MergeAttachesResolutionsAndAddsOnlyNewRemoteFindings) {
    const auto resolution = [](const QString& summary) {
        return FindingResolution{summary, {}, {}, {}};
    };
    ScanReport report;
    using enum FindingSeverity;
    report.findings = {
        test::finding(u"local.a"_s, risk, FindingCategory::privacy, u"Tracking Domains"_s),
        test::finding(u"local.b"_s, manual, FindingCategory::privacy, u"Other"_s)};
    report.findings[1].resolution = resolution(u"own"_s);
    report.passedChecks = {u"Local check"_s};
    BuildAnalysisResponse response;
    response.findings = {remote(u"tracking domains"_s),    // same problem as local.a
                         remote(u"Camera purpose"_s, 1.7), // added as index 1
                         remote(u"Camera Purpose"_s),      // same as the one just added
                         remote(u"Tracking domains"_s, -0.2, u"5.1.2"_s)}; // other guideline
    response.resolutions =
        std::vector<RemoteFindingResolution>{{u"local.b"_s, resolution(u"first"_s)},
                                             {u"local.b"_s, resolution(u"later"_s)},
                                             {u"nobody"_s, resolution(u"unused"_s)}};
    response.passedChecks = {u"Remote check"_s};
    response.reviewedEvidenceCount = 42;
    response.rulesVersion = u"r1"_s;

    applyGuidedSolutions(response, u"abc"_s, report);
    EXPECT_EQ(test::findingIds(report.findings),
              (std::vector{u"local.a"_s, u"local.b"_s, u"build.ai.abc.1"_s, u"build.ai.abc.3"_s}));
    EXPECT_EQ(report.findings[0].resolution, std::nullopt);
    EXPECT_EQ(report.findings[1].resolution, resolution(u"later"_s));
    EXPECT_EQ(report.findings[2].confidence, 1.0);
    EXPECT_EQ(report.findings[3].confidence, 0.0);
    EXPECT_EQ(report.passedChecks,
              (std::vector{u"Local check"_s, u"Remote check"_s,
                           u"Reviewed 42 structured evidence items against Apple guidance r1"_s}));
    EXPECT_EQ(report.rulesVersion, u"r1"_s);
}

// The launch counts App Store Connect as connected only when the item's data is text.
TEST(LaunchCredentials, AnItemWhoseDataIsNotTextIsNotConnected) {
    test::ModelHarness harness;
    const AppStoreConnectService service(KeychainStore{u"app.berthwatch.launch"_s},
                                         QUrl(u"http://127.0.0.1:9"_s), [] { return QDateTime(); });
    const struct {
        const char* name;
        const char* data; // printf's format; none: no item
        bool connected;
    } cases[] = {
        {"no item", nullptr, false}, {"not UTF-8", "caf\\303", false}, {"text", "{}", true}};
    for (const auto& c : cases) {
        if (c.data) {
            const test::ToolRun stored = test::runTool(
                "sh", {"-c", std::string("printf '") + c.data +
                                 "' | secret-tool store --label=Berthwatch service "
                                 "app.berthwatch.launch account app-store-connect-credentials"});
            ASSERT_EQ(stored.exitStatus, 0) << stored.standardError;
        }
        EXPECT_EQ(harness.launch({u"berthwatch"_s}, service).isASCConnected(), c.connected)
            << c.name;
    }
}

// The App Store Connect finding says what failed, and its fix points at what exists here: the
// keychain item by its names, or the network.
TEST(GuidedSolutions, TheAppStoreConnectFindingNamesTheCauseAndWhatToFix) {
    const AppStoreConnectService service;
    const QString item = u"the keychain service \u201Capp.berthwatch.mac\u201D, account "
                         u"\u201Capp-store-connect-credentials\u201D"_s;
    const QString storedKey = u"The stored App Store Connect key could not be read"_s;
    const QString unavailable = u"App Store Connect comparison was unavailable"_s;
    const struct {
        std::exception_ptr error;
        QString title;
        QString fixStart;
        QString evidenceEnd;
    } cases[] = {
        {std::make_exception_ptr(AppStoreConnectError::unreadableCredentials(u"it is not JSON"_s)),
         storedKey, u"Store the key again under "_s + item,
         u"could not be read: it is not JSON."_s},
        {std::make_exception_ptr(http::TransportError(http::TransportError::Kind::cannotFindHost)),
         unavailable, u"Check this computer\u2019s network connection"_s,
         u"No server with the requested host name could be found."_s},
        {std::make_exception_ptr(AppStoreConnectError::api(u"Forbidden."_s)), unavailable,
         u"Check the API key stored under "_s + item, u"Forbidden."_s},
    };
    for (const auto& c : cases) {
        try {
            std::rethrow_exception(c.error);
        } catch (const std::exception& error) {
            const Finding finding = ascUnavailableFinding(error, service);
            EXPECT_EQ(finding.id, u"asc.connection.unavailable"_s);
            EXPECT_EQ(finding.title, c.title) << finding.evidence.toStdString();
            EXPECT_TRUE(finding.fix.startsWith(c.fixStart)) << finding.fix.toStdString();
            EXPECT_TRUE(finding.evidence.endsWith(c.evidenceEnd)) << finding.evidence.toStdString();
            EXPECT_FALSE(finding.fix.contains(u"Settings"_s)) << finding.fix.toStdString();
        }
    }
}

} // namespace
} // namespace bw
