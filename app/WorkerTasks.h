#pragma once

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

namespace bw {

// Threads for work that must not hold up the main thread. Each task gets its own thread and stop
// token; finished threads are joined as new ones start, and whatever still runs is stopped and
// joined when the owner goes.
class WorkerTasks {
public:
    WorkerTasks() = default;
    WorkerTasks(const WorkerTasks&) = delete;
    WorkerTasks& operator=(const WorkerTasks&) = delete;
    ~WorkerTasks();

    // Runs `work` on a new thread; stopping the returned source asks it to end.
    std::stop_source start(std::function<void(std::stop_token)> work);

private:
    struct Task {
        std::shared_ptr<std::atomic_bool> done;
        std::jthread thread;
    };

    std::list<Task> tasks_;
};

// One thread that runs its jobs one after another, in the order given.
class SerialWorker {
public:
    SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;
    ~SerialWorker();

    void post(std::function<void()> job);

private:
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> jobs_;
    std::jthread thread_;
};

// Runs `call` on the thread of `context`, later; dropped when `context` is gone by then.
template <typename Call> void postTo(QObject* context, Call&& call) {
    QMetaObject::invokeMethod(context, std::forward<Call>(call), Qt::QueuedConnection);
}

} // namespace bw
