#pragma once

#include <QObject>
#include <chrono>
#include <functional>

namespace bw {

// The one source of "now" and of delayed work for the application's timed behaviour, so that
// tests can run minutes of waiting in no real time. Time is monotonic: a change of the system's
// date never shortens or stretches a wait.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::steady_clock::duration;

    virtual ~Clock() = default;

    virtual TimePoint now() const = 0;

    // Runs `callback` once, `delay` from now, on the thread of `context`; dropped when `context`
    // is destroyed first. A delay of zero or less runs it at the next opportunity, never inside
    // this call.
    virtual void schedule(Duration delay, QObject* context, std::function<void()> callback) = 0;
};

// Seconds as a clock duration, to the nearest tick, for the delays that are given in seconds.
inline Clock::Duration seconds(double value) {
    return std::chrono::round<Clock::Duration>(std::chrono::duration<double>(value));
}

} // namespace bw
