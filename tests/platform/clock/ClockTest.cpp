#include "platform/clock/SystemClock.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>
#include <memory>

namespace bw {
namespace {

using std::chrono::milliseconds;

// The manual clock that the other tests drive is a test double: those tests exercise it.
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
