#include "model/HistoryLock.h"

#include "platform/fs/ReadWholeFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
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

// Why a file of our own cannot be made and written at `path`, as QLockFile makes its lock file,
// which keeps the system's reason to itself. The file goes again, so that no empty lock is left
// for later starts to wait on. Nothing when it can be written after all (space was freed
// meanwhile, or another process made the lock first).
std::optional<int> whyNoFileCanBeWritten(const QString& path) {
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

// Whether a process still holds the lock at `path`. QLockFile's holder keeps a native lock on the
// file for as long as it holds it, and it goes with the process however that ends; testing it
// writes nothing, where clearing a dead holder's lock needs a new file of QLockFile's. A lock that
// cannot be tested counts as held, and one that went meanwhile is tried again. What is no regular
// file is no one's lock; a pipe swapped in since the last look is opened without waiting for a
// writer.
bool holderLives(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return true;
    }
    struct stat status {};
    const bool held =
        ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

} // namespace

HistoryLock::HistoryLock(const QString& folder)
    : lock_(QDir(folder).filePath(QStringLiteral("reports.lock"))) {
    // A live holder keeps a native lock on the file, which QLockFile never removes, so age only
    // matters for a file whose holder died before it wrote its process id into it.
    lock_.setStaleLockTime(1000);
    const auto deadline = std::chrono::steady_clock::now() + longestWait;
    const auto throwIfUnwritable = [&](const QString& path) {
        if (const std::optional<int> error = whyNoFileCanBeWritten(path)) {
            throw Unwritable(ReportStoreError::folderUnavailable(folder, systemReason(*error)));
        }
    };
    const QString probe = QDir(folder).filePath(QStringLiteral("reports.lock.probe"));
    bool folderTakesFiles = false;
    for (;;) {
        // QLockFile would wait for good to read a pipe in its file's place, and never takes a
        // folder's place: what is no file holds no one's history, and nothing is waited for.
        if (std::optional<fs::FileIoError> noLock = fs::whyNoRegularFile(lock_.fileName())) {
            throw *noLock;
        }
        if (lock_.tryLock(0)) {
            return;
        }
        const bool held = lock_.error() == QLockFile::LockFailedError;
        if (!held) {
            throwIfUnwritable(lock_.fileName());
        } else if (!folderTakesFiles && !holderLives(lock_.fileName())) {
            // Left by a holder that died (or one that let go where its file cannot be removed).
            // QLockFile clears it, unless the folder takes no new file (read-only, full): then no
            // one can be writing there either, and there is nothing to wait for.
            throwIfUnwritable(probe);
            folderTakesFiles = true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            // A live holder that is stuck: where the folder takes no new file, what is on disk
            // may still be read.
            throwIfUnwritable(probe);
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
