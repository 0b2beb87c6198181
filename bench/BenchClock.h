#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QtGlobal>
#include <ctime>
#include <functional>

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

// One turn of the event loop as a fast timer saw it.
struct Turn {
    qint64 nowNs;  // on the caller's clock
    double gapMs;  // since the previous turn, less the timer's own interval
    double busyMs; // the calling thread's processor time within that gap
};

// Turns the event loop with a precise timer of `tickMs`, after running `start` once inside it,
// and hands each turn to `onTurn` until that returns true.
inline void turnUntil(
    int tickMs, const QElapsedTimer& clock, const std::function<bool(const Turn&)>& onTurn,
    const std::function<void()>& start = [] {}) {
    qint64 last = clock.nsecsElapsed();
    double lastBusy = threadMs();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(tickMs);
    QEventLoop loop;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        const double busy = threadMs();
        const Turn turn{now, (now - last) / 1e6 - tickMs, busy - lastBusy};
        last = now;
        lastBusy = busy;
        if (onTurn(turn)) {
            loop.quit();
        }
    });
    ticker.start();
    QTimer::singleShot(0, &loop, start);
    loop.exec();
}

} // namespace bw::bench
