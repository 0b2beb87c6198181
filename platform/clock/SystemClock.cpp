#include "platform/clock/SystemClock.h"

#include <QTimer>

namespace bw {

Clock::TimePoint SystemClock::now() const {
    return std::chrono::steady_clock::now();
}

void SystemClock::schedule(Duration delay, QObject* context, std::function<void()> callback) {
    // Rounded up, so that a callback never runs before its time is due.
    const auto milliseconds =
        std::max(std::chrono::ceil<std::chrono::milliseconds>(delay), std::chrono::milliseconds(0));
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, context, std::move(callback));
}

SystemClock& SystemClock::shared() {
    static SystemClock clock;
    return clock;
}

} // namespace bw
