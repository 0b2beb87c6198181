#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace bw::test {

// Runs the event loop until `done` holds; false when `seconds` of real time pass first.
inline bool waitFor(const std::function<bool()>& done, double seconds = 60) {
    const QDeadlineTimer deadline(qint64(seconds * 1000));
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace bw::test
