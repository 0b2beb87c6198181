#include "app/WorkerTasks.h"

namespace bw {

WorkerTasks::~WorkerTasks() {
    for (Task& task : tasks_) {
        task.thread.request_stop();
    }
}

std::stop_source WorkerTasks::start(std::function<void(std::stop_token)> work) {
    std::erase_if(tasks_, [](const Task& task) { return task.done->load(); });
    auto done = std::make_shared<std::atomic_bool>(false);
    Task& task = tasks_.emplace_back(Task{done, {}});
    task.thread = std::jthread([work = std::move(work), done](std::stop_token stop) {
        work(stop);
        done->store(true);
    });
    return task.thread.get_stop_source();
}

SerialWorker::SerialWorker()
    : thread_([this](std::stop_token stop) {
          for (;;) {
              std::function<void()> job;
              {
                  std::unique_lock lock(mutex_);
                  // Jobs already given are finished before the worker ends.
                  wake_.wait(lock, stop, [this] { return !jobs_.empty(); });
                  if (jobs_.empty()) {
                      return;
                  }
                  job = std::move(jobs_.front());
                  jobs_.pop_front();
              }
              job();
          }
      }) {}

SerialWorker::~SerialWorker() {
    thread_.request_stop();
}

void SerialWorker::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

} // namespace bw
