#pragma once

#include "platform/clock/Clock.h"

namespace bw {

// The real clock: steady_clock and Qt's precise timers.
class SystemClock : public Clock {
public:
    TimePoint now() const override;
    void schedule(Duration delay, QObject* context, std::function<void()> callback) override;

    // The process's one real clock.
    static SystemClock& shared();
};

} // namespace bw
