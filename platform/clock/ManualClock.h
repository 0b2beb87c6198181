#pragma once

#include "platform/clock/Clock.h"

#include <QPointer>
#include <cstdint>
#include <vector>

namespace bw {

// A clock for tests that moves only when told to. Callbacks run on the thread that advances it.
class ManualClock : public Clock {
public:
    TimePoint now() const override { return now_; }
    void schedule(Duration delay, QObject* context, std::function<void()> callback) override;

    // Moves time forward by `delta`, running every callback that falls due on the way in the
    // order of its due time (then of scheduling), with `now()` at its due time; callbacks
    // scheduled meanwhile that fall due within `delta` run too.
    void advance(Duration delta);

    // Runs what is due now without moving time, as a zero delay would on the real clock.
    void runDue() { advance(Duration::zero()); }

    std::size_t pendingCount() const { return pending_.size(); }

private:
    struct Pending {
        TimePoint due;
        std::uint64_t order;
        QPointer<QObject> context;
        std::function<void()> callback;
    };

    TimePoint now_{};
    std::uint64_t nextOrder_ = 0;
    std::vector<Pending> pending_;
};

} // namespace bw
