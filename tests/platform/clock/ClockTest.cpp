#include "platform/clock/ManualClock.h"
#include "platform/clock/SystemClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <gtest/gtest.h>
#include <memory>

namespace bw {
namespace {

using std::chrono::milliseconds;

TEST(ManualClockTest, RunsDueCallbacksInTimeOrderWithNowAtTheirDueTimeUnlessTheirContextIsGone) {
    ManualClock clock;
    QObject context;
    const auto start = clock.now();
    std::vector<std::pair<int, milliseconds>> runs;
    const auto record = [&](int label) {
        return [&, label] {
            runs.emplace_back(label, std::chrono::duration_cast<milliseconds>(clock.now() - start));
        };
    };
    clock.schedule(milliseconds(300), &context, record(3));
    clock.schedule(milliseconds(100), &context, [&] {
        record(1)();
        // Scheduled during the advance and due within it: runs in its turn.
        clock.schedule(milliseconds(100), &context, record(2));
        clock.schedule(milliseconds(900), &context, record(4));
    });
    auto doomed = std::make_unique<QObject>();
    clock.schedule(milliseconds(50), doomed.get(), record(9)); // its context goes first
    doomed.reset();
    clock.advance(milliseconds(500));
    const std::vector<std::pair<int, milliseconds>> expected{
        {1, milliseconds(100)}, {2, milliseconds(200)}, {3, milliseconds(300)}};
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(clock.now() - start, milliseconds(500));
    EXPECT_EQ(clock.pendingCount(), 1u);
}

TEST(SystemClockTest, RunsCallbacksNoSoonerThanDueAndDropsThoseOfDeadContexts) {
    char name[] = "clock_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    QCoreApplication application(argc, argv);
    SystemClock& clock = SystemClock::shared();
    QObject context;
    auto doomed = std::make_unique<QObject>();
    const auto start = clock.now();
    std::vector<int> runs;
    clock.schedule(milliseconds(30), &context, [&] {
        runs.push_back(1);
        EXPECT_GE(clock.now() - start, milliseconds(30));
        application.quit();
    });
    clock.schedule(milliseconds(10), doomed.get(), [&] { runs.push_back(2); });
    doomed.reset();
    application.exec();
    EXPECT_EQ(runs, std::vector<int>{1});
}

} // namespace
} // namespace bw
