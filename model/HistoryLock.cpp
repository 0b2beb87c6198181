#include "model/HistoryLock.h"

#include "model/ReportStoreError.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace bw {

namespace {

// A save takes milliseconds; a holder this slow is stuck, and the caller reports the folder as
// unavailable instead of hanging.
constexpr std::chrono::seconds longestWait{10};
// QLockFile's own waiting backs off to seconds between tries; a short fixed pause keeps a
// waiting load from missing every gap between another process's saves.
constexpr std::chrono::milliseconds pause{5};

// QLockFile keeps the system's reason to itself; making the file once more tells it, so that a
// read-only folder is reported as such.
QString reasonLockFileCannotBeMade(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    return QString::fromStdString(std::system_category().message(errno));
}

} // namespace

HistoryLock::HistoryLock(const QString& folder)
    : lock_(QDir(folder).filePath(QStringLiteral("reports.lock"))) {
    // A live holder keeps a native lock on the file, which QLockFile never removes, so age only
    // matters for a file whose holder died before it wrote its process id into it.
    lock_.setStaleLockTime(1000);
    const auto deadline = std::chrono::steady_clock::now() + longestWait;
    while (!lock_.tryLock(0)) {
        if (lock_.error() != QLockFile::LockFailedError) {
            throw ReportStoreError::folderUnavailable(folder,
                                                      reasonLockFileCannotBeMade(lock_.fileName()));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw ReportStoreError::folderUnavailable(folder, {});
        }
        std::this_thread::sleep_for(pause);
    }
}

} // namespace bw
