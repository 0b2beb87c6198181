#include "ui/workspace/ScanProgressPresentation.h"

#include "platform/clock/ManualClock.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::workspace;

namespace {

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

TEST(ScanProgressPresentation, EasesToEachTargetWithinTheTimeCeiling) {
    struct Case {
        const char* name;
        std::vector<double> thresholds;
        double target;
        bool reduceMotion;
        double seconds;
        double progress;
        int completed;
    };
    const Case cases[] = {
        // The ceiling keeps a finished scan on screen for the whole fill duration.
        {"finished after 10 s", fourSteps, 1.0, false, 10, 0.02 + 0.98 * 10 / 36, 1},
        {"finished after 37 s", fourSteps, 1.0, false, 37, 1.0, 4},
        // The bar waits just short of a threshold the scan has not reported.
        {"short of a threshold", fourSteps, 0.479, false, 37, 0.478, 1},
        {"target above 1", fourSteps, 3.0, false, 37, 1.0, 4},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ManualClock clock;
        ScanProgressPresentation presentation(clock, 36);
        EXPECT_EQ(presentation.progress(), 0.02);
        EXPECT_EQ(presentation.activeStep(), 0);
        presentation.start(test.target, test.thresholds, test.reduceMotion);
        runChecked(clock, presentation, test.thresholds, test.target, test.seconds);
        EXPECT_NEAR(presentation.progress(), test.progress, 0.003);
        EXPECT_EQ(presentation.completedStepCount(), test.completed);
        const bool done = test.completed == int(test.thresholds.size());
        EXPECT_EQ(presentation.activeStep(), done ? std::nullopt : std::optional(test.completed));
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
