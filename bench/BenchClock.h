#pragma once

#include <QtGlobal>
#include <ctime>

namespace bw::bench {

// Benches draw off screen unless the caller chose a platform, so no display is needed.
inline void preferOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

// The calling thread's own processor time in milliseconds; unlike wall time it leaves out the
// time other processes took the processor.
inline double threadMs() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
}

} // namespace bw::bench
