#include "ui/workspace/ScanProgressView.h"

#include "app/AppModel.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/FieldOf.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/workspace/WorkspaceFixture.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Motion.h"
#include "ui/workspace/BackToScanButton.h"
#include "ui/workspace/HomeView.h"
#include "ui/workspace/ScanProgressPresentation.h"
#include "ui/workspace/ScanWorkspaceView.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::workspace;
using namespace bw::workspace::test;

namespace {

// The workspace with the clean build staged; `tools` stand in for the real ones by name.
struct ScanScreens : Workspace {
    std::unique_ptr<ScanWorkspaceView> workspace;

    explicit ScanScreens(const std::map<QString, QByteArray>& tools = {}) {
        if (!tools.empty()) {
            this->tools = folder.tools(tools);
            launch();
        }
        workspace = std::make_unique<ScanWorkspaceView>(model(), chooser, links());
        workspace->resize(1120, 760);
        workspace->show();
        stage(fixtureBuild("Clean.ipa"));
    }

    ScanProgressView* progressView() const {
        HomeView* home = workspace->homeView();
        return home ? qobject_cast<ScanProgressView*>(home->stageWidget()) : nullptr;
    }
};

using bw::test::button;

const std::vector<double> fourSteps = {0.2, 0.48, 0.72, 1.0};
const std::vector<double> fiveSteps = {0.2, 0.48, 0.72, 0.9, 1.0};

// Runs the clock in 10 ms ticks, checking after each that the bar never passes the time ceiling
// nor the reported target, never goes back, and completes steps only at their threshold.
void runChecked(ManualClock& clock, ScanProgressPresentation& presentation,
                const std::vector<double>& thresholds, double target, double seconds) {
    double last = presentation.progress();
    for (int tick = 0; tick < int(seconds * 100); ++tick) {
        clock.advance(bw::seconds(0.01));
        const double progress = presentation.progress();
        ASSERT_LE(progress, presentation.timeCeiling() + 1e-9);
        ASSERT_LE(progress, std::max(0.02, target) + 1e-9);
        ASSERT_GE(progress, last);
        const int completed = presentation.completedStepCount();
        if (completed > 0) {
            ASSERT_GE(progress + 1e-9, thresholds[completed - 1]);
        }
        last = progress;
    }
}

} // namespace

TEST(ScanProgressView, FollowsARealScanStepByStepToTheReport) {
    for (const bool withScreenshots : {false, true}) {
        SCOPED_TRACE(withScreenshots ? "with screenshots" : "without screenshots");
        ScanScreens screens;
        if (withScreenshots) {
            screens.model().setScreenshot(
                screens.folder.write(u"paywall.png"_qs,
                                     bw::test::solidPng(QSize(1290, 2796), Qt::darkCyan)),
                ScreenshotPrompt::paywall);
        }
        screens.workspace->homeView()->requestScan();
        ScanProgressView* view = screens.progressView();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->phaseLabel(), u"Reading build"_qs);
        EXPECT_EQ(view->findChildren<ReviewStepView*>().size(), withScreenshots ? 5 : 4);
        const auto* runway = view->findChild<design::BerthwatchProgressRunway*>();
        const QAbstractButton* cancel = button(*view, u"Cancel scan"_qs);
        ASSERT_NE(cancel, nullptr);
        int cancelMismatches = 0;
        int cancelHidden = 0;

        double highestTarget = 0.02;
        double runwayShown = 0;
        int runwayFaults = 0;
        std::vector<QString> labels;
        double lastProgress = 0;
        // The scan's tools run in real time while the clock runs many times faster, the more so
        // on a loaded machine: the limit only catches a scan that never ends.
        const bool finished = screens.runUntil(
            [&] {
                if (!screens.progressView()) {
                    return true;
                }
                highestTarget = std::max(highestTarget, view->phaseTarget());
                // The runway only moves forward and never ahead of what the scan reported.
                runwayFaults += runway->progress() + 1e-9 < runwayShown ||
                                runway->progress() > highestTarget + 1e-9;
                runwayShown = runway->progress();
                // "Cancel scan" goes once the scan can no longer be cancelled.
                cancelMismatches +=
                    cancel->isVisible() != screens.model().isScanCancellationAvailable();
                cancelHidden += !cancel->isVisible();
                lastProgress = view->clampedProgress();
                if (labels.empty() || labels.back() != view->phaseLabel()) {
                    labels.push_back(view->phaseLabel());
                }
                return false;
            },
            600, 0.02);
        ASSERT_TRUE(finished);
        EXPECT_EQ(screens.workspace->currentScreen()->accessibleName(), u"report"_qs);
        EXPECT_EQ(cancelMismatches, 0);
        EXPECT_GT(cancelHidden, 0);
        // The screenshot the user added went to review, and only then.
        const auto requests = screens.backend.requests();
        EXPECT_EQ(std::ranges::count_if(requests,
                                        [](const auto& request) {
                                            return request.path.starts_with("/v1/screenshots/");
                                        }),
                  withScreenshots ? 1 : 0);
        EXPECT_EQ(runwayFaults, 0);
        EXPECT_EQ(lastProgress, 1.0);
        std::vector<QString> expected =
            bw::test::fieldOf(scanProgressSteps(withScreenshots), &ScanProgressStep::title);
        expected.push_back(u"Report ready"_qs);
        EXPECT_EQ(labels, expected);
    }
}

// "Cancel scan" stays on screen from the start, here through an extraction that would take half
// a minute, and a click ends the scan within a moment, stopping the extraction tool, and returns
// to the staged build; the toolbar's Back is hidden meanwhile, and from the staged build it
// drops the build and shows the start screen again.
TEST(ScanProgressView, CancelIsOfferedThroughASlowExtractionAndEndsItAtOnce) {
    const bw::test::TestFolder marker;
    const QString slow = marker.path() + u"/slow"_qs;
    std::map<QString, QByteArray> tools;
    for (const char* tool : {"codesign", "ditto", "lipo", "nm", "otool", "security"}) {
        tools[QString::fromUtf8(tool)] =
            "exec '" BW_LIBEXEC_DIR "/" + QByteArray(tool) + "' \"$@\"";
    }
    tools[u"ditto"_qs].prepend("[ -e '" + slow.toUtf8() + "' ] && sleep 30\n");
    ScanScreens screens(tools);
    AppModel& model = screens.model();
    ScanWorkspaceView& workspace = *screens.workspace;
    marker.write(u"slow"_qs, "");
    HomeView* home = workspace.homeView();
    auto* back = new BackToScanButton(model, &workspace); // the window's toolbar item
    EXPECT_TRUE(back->isVisible());
    // The staged build screen's own button, which the progress screen replaces.
    QTest::mouseClick(button(*home, u"Scan build"_qs), Qt::LeftButton);

    QElapsedTimer elapsed;
    elapsed.start();
    for (const int moment : {300, 1500, 3000}) {
        while (elapsed.elapsed() < moment) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        auto* view = qobject_cast<ScanProgressView*>(home->stageWidget());
        ASSERT_NE(view, nullptr) << moment;
        EXPECT_FALSE(back->isVisible()) << moment;
        QAbstractButton* cancel = button(*view, u"Cancel scan"_qs);
        ASSERT_NE(cancel, nullptr) << moment;
        EXPECT_TRUE(cancel->isVisibleTo(&workspace) && cancel->isEnabled()) << moment;
        const QRect onScreen(cancel->mapTo(&workspace, QPoint()), cancel->size());
        EXPECT_TRUE(workspace.rect().contains(onScreen)) << moment;
        EXPECT_TRUE(model.isScanRunning()) << moment;
        if (moment == 3000) {
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    }
    const qint64 clicked = elapsed.elapsed();
    ASSERT_TRUE(screens.runUntil([&] { return !model.isScanRunning(); }, 60));
    EXPECT_LT(elapsed.elapsed() - clicked, 3000);
    EXPECT_TRUE(std::holds_alternative<ScanPhase::Idle>(model.scanPhase().state));
    EXPECT_EQ(model.importMessage(), u"Scan cancelled."_qs);
    EXPECT_FALSE(model.report());
    EXPECT_EQ(home->stage(), HomeView::Stage::staged);

    ASSERT_TRUE(back->isVisible());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_FALSE(model.staged());
    EXPECT_EQ(home->stage(), HomeView::Stage::start);
    EXPECT_FALSE(back->isVisible());
}

// The ceiling keeps a finished scan on screen for the whole fill duration; the bar waits just
// short of a threshold the scan has not reported.
TEST(ScanProgressPresentation, EasesToEachTargetWithinTheTimeCeiling) {
    const struct {
        double target;
        double seconds;
        double progress;
        int completed;
    } cases[] = {
        {1.0, 10, 0.02 + 0.98 * 10 / 36, 1},
        {0.479, 37, 0.478, 1},
        {3.0, 37, 1.0, 4},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.target);
        ManualClock clock;
        ScanProgressPresentation presentation(clock, 36);
        EXPECT_EQ(presentation.activeStep(), 0);
        presentation.start(test.target, fourSteps, false);
        runChecked(clock, presentation, fourSteps, test.target, test.seconds);
        EXPECT_NEAR(presentation.progress(), test.progress, 0.003);
        EXPECT_EQ(presentation.completedStepCount(), test.completed);
        EXPECT_EQ(presentation.activeStep(),
                  test.completed == 4 ? std::nullopt : std::optional(test.completed));
    }
}

TEST(ScanProgressPresentation, ANewScanOrStepListRestartsAndAnEmptyListStaysStill) {
    ManualClock clock;
    ScanProgressPresentation presentation(clock, 36);
    presentation.start(1.0, {}, false);
    clock.advance(bw::seconds(5));
    EXPECT_EQ(presentation.progress(), 0.02);
    EXPECT_FALSE(presentation.isWorkerRunning());

    presentation.start(1.0, fourSteps, false);
    clock.advance(bw::seconds(20));
    const double reached = presentation.progress();
    ASSERT_GT(reached, 0.5);
    // A target within 0.01 below the bar keeps everything.
    presentation.start(reached - 0.005, fourSteps, false);
    EXPECT_EQ(presentation.progress(), reached);
    // A target well below the bar is a new scan: back to the start, ceiling from now.
    presentation.start(0.3, fourSteps, false);
    EXPECT_EQ(presentation.progress(), 0.02);
    EXPECT_EQ(presentation.completedStepCount(), 0);
    clock.advance(bw::seconds(1));
    EXPECT_NEAR(presentation.timeCeiling(), 0.02 + 0.98 / 36, 1e-6);
    // Four steps becoming five is a new list.
    clock.advance(bw::seconds(10));
    presentation.start(0.3, fiveSteps, false);
    EXPECT_EQ(presentation.progress(), 0.02);
}
