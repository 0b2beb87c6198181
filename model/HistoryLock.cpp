#include "model/HistoryLock.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <optional>
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

// QLockFile keeps the system's reason to itself: a file of our own, made and written as it makes
// its own, tells it, and goes again so that no empty lock is left for later starts to wait on.
// Nothing when it can be written after all (space was freed meanwhile, or another process made
// the lock first).
std::optional<int> whyLockFileCannotBeWritten(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno == EEXIST ? std::nullopt : std::optional<int>(errno);
    }
    const int error = ::write(fd, "\n", 1) == 1 ? 0 : errno;
    ::close(fd);
    ::unlink(name.constData());
    return error == 0 ? std::nullopt : std::optional<int>(error);
}

QString systemReason(int errorNumber) {
    return QString::fromStdString(std::system_category().message(errorNumber));
}

} // namespace

HistoryLock::HistoryLock(const QString& folder)
    : lock_(QDir(folder).filePath(QStringLiteral("reports.lock"))) {
    // A live holder keeps a native lock on the file, which QLockFile never removes, so age only
    // matters for a file whose holder died before it wrote its process id into it.
    lock_.setStaleLockTime(1000);
    const auto deadline = std::chrono::steady_clock::now() + longestWait;
    while (!lock_.tryLock(0)) {
        const bool held = lock_.error() == QLockFile::LockFailedError;
        if (!held) {
            if (const std::optional<int> error = whyLockFileCannotBeWritten(lock_.fileName())) {
                throw Unwritable(ReportStoreError::folderUnavailable(folder, systemReason(*error)));
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw ReportStoreError::folderUnavailable(
                folder, held ? QStringLiteral("It has been in use by another Berthwatch for more "
                                              "than %1 seconds")
                                   .arg(longestWait.count())
                             : QString());
        }
        std::this_thread::sleep_for(pause);
    }
}

} // namespace bw
