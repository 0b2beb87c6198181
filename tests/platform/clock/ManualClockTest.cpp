#include "platform/clock/ManualClock.h"

#include <QObject>
#include <gtest/gtest.h>
#include <memory>

namespace bw {
namespace {

using std::chrono::milliseconds;

TEST(ManualClockTest, RunsDueCallbacksInTimeOrderWithNowAtTheirDueTime) {
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
    clock.advance(milliseconds(500));
    const std::vector<std::pair<int, milliseconds>> expected{
        {1, milliseconds(100)}, {2, milliseconds(200)}, {3, milliseconds(300)}};
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(clock.now() - start, milliseconds(500));
    EXPECT_EQ(clock.pendingCount(), 1u);
}

TEST(ManualClockTest, EqualDueTimesRunInSchedulingOrderAndADeadContextDropsItsCallback) {
    ManualClock clock;
    QObject context;
    auto doomed = std::make_unique<QObject>();
    std::vector<int> runs;
    clock.schedule(milliseconds(0), &context, [&] { runs.push_back(1); });
    clock.schedule(milliseconds(0), doomed.get(), [&] { runs.push_back(2); });
    clock.schedule(milliseconds(-5), &context, [&] { runs.push_back(3); });
    doomed.reset();
    EXPECT_TRUE(runs.empty()); // never inside schedule
    clock.runDue();
    EXPECT_EQ(runs, (std::vector<int>{1, 3}));
}

} // namespace
} // namespace bw
