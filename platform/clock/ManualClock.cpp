#include "platform/clock/ManualClock.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace bw {

void ManualClock::schedule(Duration delay, QObject* context, std::function<void()> callback) {
    pending_.push_back(
        {now_ + std::max(delay, Duration::zero()), nextOrder_++, context, std::move(callback)});
}

void ManualClock::advance(Duration delta) {
    const TimePoint end = now_ + std::max(delta, Duration::zero());
    for (;;) {
        const auto next = std::min_element(
            pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
                return std::tie(a.due, a.order) < std::tie(b.due, b.order);
            });
        if (next == pending_.end() || next->due > end) {
            break;
        }
        Pending due = std::move(*next);
        pending_.erase(next);
        now_ = std::max(now_, due.due);
        if (due.context) {
            due.callback();
        }
    }
    now_ = end;
}

} // namespace bw
