#include "tests/ui/window/ScannedWindow.h"

#include "app/AppModel.h"
#include "tests/model/ReportSamples.h"
#include "ui/design/Motion.h"

#include <QTest>

namespace bw::window::test {

using namespace Qt::Literals::StringLiterals;

WindowHarness* ScannedWindowTest::window_ = nullptr;
ScanReport* ScannedWindowTest::report_ = nullptr;
std::vector<ScanReport>* ScannedWindowTest::history_ = nullptr;

void ScannedWindowTest::SetUpTestSuite() {
    design::MotionPreferences::instance().overrideReduceMotion(true);
    // The window comes up away from the pointer, wherever an earlier suite left it.
    bw::test::movePointerOffAllWindows();
    window_ = new WindowHarness({u"berthwatch"_s}, /*realScreens=*/true);
    window_->harness.stage(bw::test::fixtureBuild(u"Debug.ipa"_s));
    window_->model().startScan(false);
    ASSERT_TRUE(bw::test::waitFor([] {
        window_->harness.clock.advance(std::chrono::seconds(1));
        return window_->model().report().has_value();
    }));
    report_ = new ScanReport(*window_->model().report());
    history_ = new std::vector<ScanReport>(bw::test::sampleHistory(6));
    (*history_)[2].metadata.appName = u"A Rather Long Application Name For Travel"_s;
    history_->push_back(*report_);
    relaunchOverTheSuitesHistory();
}

void ScannedWindowTest::SetUp() {
    design::MotionPreferences::instance().overrideReduceMotion(true);
}

void ScannedWindowTest::relaunchOverTheSuitesHistory() {
    window_->relaunch(*history_);
}

void ScannedWindowTest::TearDownTestSuite() {
    delete window_;
    delete report_;
    delete history_;
    window_ = nullptr;
    report_ = nullptr;
    history_ = nullptr;
}

void settleScreen() {
    bw::test::settle(20);
    QTest::qWait(20);
    bw::test::settle(20);
}

} // namespace bw::window::test
