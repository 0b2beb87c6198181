#include "platform/fs/AtomicFile.h"

#include "platform/fs/FileIoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::fs {

namespace {

// Hidden and with its own extension, so that nobody takes a leftover of a crash for real data.
QByteArray temporaryPathFor(const QString& path) {
    const QFileInfo target(path);
    const QString name = QStringLiteral(".%1.%2.tmp")
                             .arg(target.fileName(), QUuid::createUuid().toString(QUuid::Id128));
    return QFile::encodeName(target.dir().filePath(name));
}

int writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        done += count;
    }
    return 0;
}

// Writes and syncs the temporary file, with the permissions of the file it replaces when
// `replaced` names one (a history the user made private stays private); returns 0 or the error
// number.
int fillTemporary(const QByteArray& temporary, const QByteArray& bytes,
                  const QByteArray& replaced) {
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    struct stat existing {};
    if (!replaced.isEmpty() && ::stat(replaced.constData(), &existing) == 0 &&
        ::fchmod(fd, existing.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = writeAll(fd, bytes);
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.constData());
    }
    return error;
}

int moveIntoPlace(const QByteArray& temporary, const QByteArray& target, Replace replace) {
    if (replace == Replace::existing) {
        if (::rename(temporary.constData(), target.constData()) == 0) {
            return 0;
        }
        const int error = errno;
        ::unlink(temporary.constData());
        return error;
    }
    // link() never replaces an existing entry, which is the whole point here.
    const int error = ::link(temporary.constData(), target.constData()) == 0 ? 0 : errno;
    ::unlink(temporary.constData());
    return error;
}

// Makes the new directory entry itself durable. File systems that cannot sync a folder say EINVAL;
// the entry is as safe there as it will get.
int syncFolder(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).dir().path());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

// rename() that never replaces `target`. File systems without RENAME_NOREPLACE (some network and
// FUSE ones) get a look first; a history is only moved with its lock held, so nobody of ours
// creates the name in between.
int renameWithoutReplacing(const QByteArray& source, const QByteArray& target) {
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    struct stat existing {};
    if (::lstat(target.constData(), &existing) == 0) {
        return EEXIST;
    }
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
}

} // namespace

void writeFileAtomically(const QString& path, const QByteArray& bytes, Replace replace) {
    const QByteArray temporary = temporaryPathFor(path);
    const QByteArray target = QFile::encodeName(path);
    int error =
        fillTemporary(temporary, bytes, replace == Replace::existing ? target : QByteArray());
    if (error == 0) {
        error = moveIntoPlace(temporary, target, replace);
    }
    if (error == 0) {
        error = syncFolder(path);
    }
    if (error != 0) {
        throw FileIoError(FileIoError::Operation::write, path, error);
    }
}

void moveWithoutReplacing(const QString& from, const QString& to) {
    int error = renameWithoutReplacing(QFile::encodeName(from), QFile::encodeName(to));
    if (error == 0) {
        error = syncFolder(to);
    }
    if (error != 0) {
        throw FileIoError(FileIoError::Operation::write, to, error);
    }
}

} // namespace bw::fs
