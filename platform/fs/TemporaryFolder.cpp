#include "platform/fs/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace bw::fs {

namespace {

void removeBelow(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        ::unlink(path.constData());
        return;
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
            removeBelow(child);
        }
    }
    ::rmdir(path.constData());
}

// The folder opened and locked with flock `operation`; -1 when either fails. The descriptor is not
// handed to child processes, or a tool that outlived its run would hold the lock.
int lockedFolder(const QByteArray& path, int operation) {
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    int result = 0;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
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

} // namespace

TemporaryFolder::TemporaryFolder(const QString& prefix) {
    const QString base = QDir::tempPath();
    if (!QDir().mkpath(base)) {
        throw std::system_error(ENOENT, std::generic_category(),
                                "Could not create the folder " + base.toStdString());
    }
    const QString name = prefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QString path = QDir(base).filePath(name);
    // Made under a name no sweep looks at and locked before it takes its own, so that another
    // start's sweep never finds it unlocked.
    const QByteArray staging = QFile::encodeName(QDir(base).filePath(u'.' + name));
    if (::mkdir(staging.constData(), 0700) != 0) {
        throw std::system_error(errno, std::generic_category(),
                                "Could not create the folder " + path.toStdString());
    }
    lock_ = lockedFolder(staging, LOCK_EX);
    if (lock_ < 0 || ::rename(staging.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        removeBelow(staging);
        if (lock_ >= 0) {
            ::close(lock_);
        }
        throw std::system_error(error, std::generic_category(),
                                "Could not create the folder " + path.toStdString());
    }
    path_ = path;
}

TemporaryFolder::~TemporaryFolder() {
    removeTree(path_);
    ::close(lock_);
}

int removeAbandonedFolders(const QString& base, const QStringList& prefixes) {
    int removed = 0;
    const QByteArray folder = QFile::encodeName(base);
    for (const QString& name : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!isTemporaryName(name, prefixes)) {
            continue;
        }
        const QByteArray path = folder + '/' + QFile::encodeName(name);
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::getuid()) {
            continue;
        }
        // Held by a living run, or not ours to open: left alone.
        const int lock = lockedFolder(path, LOCK_EX | LOCK_NB);
        if (lock < 0) {
            continue;
        }
        removeBelow(path);
        ::close(lock);
        ++removed;
    }
    return removed;
}

void removeTree(const QString& path) {
    if (!path.isEmpty()) {
        removeBelow(QFile::encodeName(path));
    }
}

} // namespace bw::fs
