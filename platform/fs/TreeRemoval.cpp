#include "platform/fs/TreeRemoval.h"

#include <QFile>
#include <condition_variable>
#include <deque>
#include <dirent.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bw::fs {

namespace {

bool removeBelow(const QByteArray& path, const std::stop_token& stop) {
    if (stop.stop_requested()) {
        return false;
    }
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISDIR(info.st_mode)) {
        return ::unlink(path.constData()) == 0 || errno == ENOENT;
    }
    // Extracted archives may carry folders without write or search permission for us.
    if ((info.st_mode & S_IRWXU) != S_IRWXU) {
        ::chmod(path.constData(), info.st_mode | S_IRWXU);
    }
    if (DIR* dir = ::opendir(path.constData())) {
        std::vector<QByteArray> children;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..") {
                children.push_back(path + '/' + name);
            }
        }
        ::closedir(dir);
        for (const QByteArray& child : children) {
            removeBelow(child, stop);
        }
    }
    return ::rmdir(path.constData()) == 0 || errno == ENOENT;
}

// One thread, started with the first removal, that removes one folder after another. Ending
// with the program, it stops between two entries and lets go of the locks it holds.
class BackgroundRemoval {
public:
    static BackgroundRemoval& shared() {
        static BackgroundRemoval removal;
        return removal;
    }

    void add(QByteArray path, int lock) {
        {
            const std::lock_guard guard(mutex_);
            jobs_.push_back({std::move(path), lock});
        }
        wake_.notify_one();
    }

    void waitUntilDone() {
        std::unique_lock guard(mutex_);
        done_.wait(guard, [this] { return jobs_.empty() && !removing_; });
    }

    void pause(int change) {
        {
            const std::lock_guard guard(mutex_);
            pauses_ += change;
        }
        wake_.notify_one();
    }

private:
    struct Job {
        QByteArray path;
        int lock;
    };

    BackgroundRemoval()
        : thread_([this](std::stop_token stop) {
              while (const std::optional<Job> job = next(stop)) {
                  removeBelow(job->path, stop);
                  ::close(job->lock);
              }
              const std::lock_guard guard(mutex_);
              for (const Job& job : jobs_) {
                  ::close(job.lock);
              }
          }) {}

    // The next job, once the one before is done.
    std::optional<Job> next(const std::stop_token& stop) {
        std::unique_lock guard(mutex_);
        removing_ = false;
        done_.notify_all();
        if (!wake_.wait(guard, stop, [this] { return !jobs_.empty() && pauses_ == 0; })) {
            return std::nullopt;
        }
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        removing_ = true;
        return job;
    }

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable done_;
    std::deque<Job> jobs_;
    bool removing_ = false;
    int pauses_ = 0;
    std::jthread thread_; // last: stopped and joined before the rest goes
};

} // namespace

bool removeTree(const QString& path, std::stop_token stop) {
    return !path.isEmpty() && removeBelow(QFile::encodeName(path), stop);
}

void removeTreeInBackground(const QString& path, int lock) {
    BackgroundRemoval::shared().add(QFile::encodeName(path), lock);
}

void waitForBackgroundRemovals() {
    BackgroundRemoval::shared().waitUntilDone();
}

BackgroundRemovalPause::BackgroundRemovalPause() {
    BackgroundRemoval::shared().pause(+1);
}

BackgroundRemovalPause::~BackgroundRemovalPause() {
    BackgroundRemoval::shared().pause(-1);
}

} // namespace bw::fs
