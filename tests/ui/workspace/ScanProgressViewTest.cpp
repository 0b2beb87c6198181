#include "ui/workspace/ScanProgressView.h"

#include "app/AppModel.h"
#include "tests/support/ImageFiles.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/workspace/WorkspaceFixture.h"
#include "ui/design/BrandShapes.h"
#include "ui/workspace/BackToScanButton.h"
#include "ui/workspace/HomeView.h"
#include "ui/workspace/ScanProgressPresentation.h"
#include "ui/workspace/ScanWorkspaceView.h"

#include <QAbstractButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::workspace;
using namespace bw::workspace::test;

namespace {

struct ScanScreens : Workspace {
    ScanWorkspaceView workspace{model(), chooser, links()};

    ScanScreens() {
        workspace.resize(1120, 760);
        workspace.show();
        model().importBuild(fixtureBuild("Clean.ipa"));
        runUntil([&] { return !model().isStagedPreviewLoading(); }, 30);
    }

    ScanProgressView* progressView() const {
        HomeView* home = workspace.homeView();
        return home ? qobject_cast<ScanProgressView*>(home->stageWidget()) : nullptr;
    }
};

QAbstractButton* button(QWidget* root, const QString& name) {
    return bw::test::named<QAbstractButton>(*root, name, true);
}

// What the progress screen shows at one moment.
struct Look {
    std::vector<ScanProgressStepState> states;
    double runway;
    double highestTarget;
};

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
        screens.workspace.homeView()->requestScan();
        ScanProgressView* view = screens.progressView();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->phaseLabel(), u"Reading build"_qs);
        const auto steps = view->findChildren<ReviewStepView*>();
        ASSERT_EQ(steps.size(), withScreenshots ? 5 : 4);
        EXPECT_EQ(steps.back()->accessibleName(),
                  withScreenshots ? u"Reviewing screens"_qs : u"Mapping review risks"_qs);
        const auto* runway = view->findChild<design::BerthwatchProgressRunway*>();

        std::vector<Look> looks;
        double highestTarget = 0.02;
        QStringList labels;
        double lastProgress = 0;
        const bool finished = screens.runUntil(
            [&] {
                if (!screens.progressView()) {
                    return true;
                }
                highestTarget = std::max(highestTarget, view->phaseTarget());
                Look look{{}, runway->progress(), highestTarget};
                for (const ReviewStepView* step : steps) {
                    look.states.push_back(step->state());
                }
                looks.push_back(look);
                lastProgress = view->clampedProgress();
                if (labels.isEmpty() || labels.back() != view->phaseLabel()) {
                    labels << view->phaseLabel();
                }
                return false;
            },
            120, 0.02);
        ASSERT_TRUE(finished);
        EXPECT_EQ(screens.workspace.currentScreen()->accessibleName(), u"report"_qs);

        // The runway only moves forward and never ahead of what the scan reported; steps
        // complete in order, one at a time, and never come back.
        for (std::size_t index = 1; index < looks.size(); ++index) {
            EXPECT_GE(looks[index].runway + 1e-9, looks[index - 1].runway);
            EXPECT_LE(looks[index].runway, looks[index].highestTarget + 1e-9);
            const auto& states = looks[index].states;
            const auto active =
                std::count(states.begin(), states.end(), ScanProgressStepState::active);
            EXPECT_LE(active, 1);
            EXPECT_TRUE(std::is_sorted(states.begin(), states.end()));
        }
        EXPECT_EQ(lastProgress, 1.0);
        QStringList expected;
        for (const ScanProgressStep& step : scanProgressSteps(withScreenshots)) {
            expected << step.title;
        }
        expected << u"Report ready"_qs;
        EXPECT_EQ(labels, expected);
    }
}

TEST(ScanProgressView, CancellingEndsTheScanAsTheModelSays) {
    ScanScreens screens;
    QCoreApplication::processEvents();
    HomeView* home = screens.workspace.homeView();
    // The window's toolbar item.
    auto* back = new BackToScanButton(screens.model(), &screens.workspace);
    EXPECT_TRUE(back->isVisible());
    // The staged build screen's own button, which the progress screen replaces.
    QTest::mouseClick(button(home, u"Scan build"_qs), Qt::LeftButton);
    ScanProgressView* view = screens.progressView();
    ASSERT_NE(view, nullptr);
    QCoreApplication::processEvents();
    EXPECT_FALSE(back->isVisible());
    QAbstractButton* cancel = button(view, u"Cancel scan"_qs);
    ASSERT_NE(cancel, nullptr);

    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(screens.runUntil([&] { return !screens.model().isScanRunning(); }, 60));
    EXPECT_TRUE(std::holds_alternative<ScanPhase::Idle>(screens.model().scanPhase().state));
    EXPECT_EQ(screens.model().importMessage(), u"Scan cancelled."_qs);
    EXPECT_FALSE(screens.model().report());
    EXPECT_EQ(home->stage(), HomeView::Stage::staged);

    // Back from the staged build drops it and shows the start screen again.
    ASSERT_TRUE(back->isVisible());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_FALSE(screens.model().staged());
    EXPECT_EQ(home->stage(), HomeView::Stage::start);
    EXPECT_FALSE(back->isVisible());
}
