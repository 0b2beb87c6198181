#include "platform/fs/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace bw::fs {

namespace {

std::atomic<FolderLockCall> lockCall = ::flock;

// A folder just made under its hidden name is locked a moment later; one this old was left by a
// run killed in between.
constexpr std::time_t hiddenFolderAge = 60;

bool isRefusal(int error) {
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOTSUP || error == EINVAL;
}

// The folder opened and locked with flock `operation`; -1 with errno set when either fails. The
// descriptor is not handed to child processes, or a tool that outlived its run would hold the
// lock.
int lockedFolder(const QByteArray& path, int operation) {
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    int result = 0;
    do {
        result = lockCall.load()(fd, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool isTemporaryName(const QString& name, const QStringList& prefixes) {
    for (const QString& prefix : prefixes) {
        const QString rest = name.mid(prefix.size());
        if (name.startsWith(prefix) &&
            rest == QUuid(rest).toString(QUuid::WithoutBraces).toUpper()) {
            return true;
        }
    }
    return false;
}

[[noreturn]] void throwCreationError(int error, const QString& path) {
    throw std::system_error(error, std::generic_category(),
                            "Could not create the folder " + path.toStdString());
}

} // namespace

TemporaryFolder::TemporaryFolder(const QString& prefix) {
    const QString base = QDir::tempPath();
    if (!QDir().mkpath(base)) {
        throwCreationError(ENOENT, base);
    }
    const QString name = prefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QString path = QDir(base).filePath(name);
    // Made under a hidden name and locked before it takes its own, so that another start's sweep
    // never finds it unlocked.
    const QByteArray staging = QFile::encodeName(QDir(base).filePath(u'.' + name));
    if (::mkdir(staging.constData(), 0700) != 0) {
        throwCreationError(errno, path);
    }
    lock_ = lockedFolder(staging, LOCK_EX);
    // Where locks are refused the work goes on unlocked; a sweep cannot lock it either, so
    // leaves it alone.
    if ((lock_ < 0 && !isRefusal(errno)) ||
        ::rename(staging.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        removeTree(QFile::decodeName(staging));
        ::close(lock_);
        throwCreationError(error, path);
    }
    path_ = path;
}

TemporaryFolder::~TemporaryFolder() {
    // An unlocked folder that the program's end left behind no sweep could take.
    if (lock_ < 0) {
        removeTree(path_);
        return;
    }
    // Whoever waits for the run's result never waits for its folder to go as well: a large
    // build's folder takes seconds to remove, minutes on a busy disk.
    removeTreeInBackground(path_, lock_);
}

int removeAbandonedFolders(const QString& base, const QStringList& prefixes, std::stop_token stop) {
    int removed = 0;
    const QByteArray folder = QFile::encodeName(base);
    const QDir::Filters filter = QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString& name : QDir(base).entryList(filter)) {
        const bool hidden = name.startsWith(u'.');
        if (stop.stop_requested() || !isTemporaryName(hidden ? name.mid(1) : name, prefixes)) {
            continue;
        }
        const QByteArray path = folder + '/' + QFile::encodeName(name);
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::getuid() ||
            (hidden && std::time(nullptr) - info.st_mtime < hiddenFolderAge)) {
            continue;
        }
        // Held by a living run, on a file system without locks, or not ours to open: left alone.
        const int lock = lockedFolder(path, LOCK_EX | LOCK_NB);
        if (lock < 0) {
            continue;
        }
        if (removeTree(QFile::decodeName(path), stop)) {
            ++removed;
        }
        ::close(lock);
    }
    return removed;
}

void setFolderLockCall(FolderLockCall call) {
    lockCall.store(call);
}

} // namespace bw::fs
