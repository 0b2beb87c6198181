#include "platform/fs/ReadWholeFile.h"

#include "platform/fs/FileIoError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::fs {

namespace {

// Closes the descriptor however the read ends.
class OpenFile {
public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() { ::close(fd_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

FileIoError readError(const QString& path, int errorNumber) {
    return FileIoError(FileIoError::Operation::read, path, errorNumber);
}

// Why a file that is not a regular one is not read; nothing for a regular file.
std::optional<FileIoError> refusal(const QString& path, const struct stat& status) {
    if (S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    if (S_ISDIR(status.st_mode)) {
        return readError(path, EISDIR);
    }
    const QString kind = S_ISLNK(status.st_mode)    ? QStringLiteral("a symbolic link")
                         : S_ISFIFO(status.st_mode) ? QStringLiteral("a pipe")
                         : S_ISSOCK(status.st_mode) ? QStringLiteral("a socket")
                                                    : QStringLiteral("a device");
    return FileIoError(FileIoError::Operation::read, path, EINVAL,
                       QStringLiteral("It is %1, not a regular file").arg(kind));
}

// Reads to the end, or until more than `maxBytes` have come. The result is sized for `expected`
// bytes and one more to see the end; a file that grows meanwhile, or has no size (a pipe), makes
// it grow as it goes.
QByteArray readUpTo(const QString& path, int fd, qint64 expected, qint64 maxBytes) {
    QByteArray bytes(qsizetype(std::min(expected, maxBytes)) + 1, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        if (size == bytes.size()) {
            if (size > maxBytes) {
                throw readError(path, EFBIG);
            }
            bytes.resize(qsizetype(
                std::min<qint64>(std::max<qsizetype>(size * 2, 64 * 1024), maxBytes + 1)));
        }
        const ssize_t count = ::read(fd, bytes.data() + size, std::size_t(bytes.size() - size));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw readError(path, errno);
        }
        if (count == 0) {
            break;
        }
        size += count;
    }
    bytes.truncate(size);
    return bytes;
}

} // namespace

QByteArray readWholeFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw readError(path, errno);
    }
    const OpenFile file(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        throw readError(path, errno);
    }
    // Sizes that no byte array of ours reaches.
    return readUpTo(path, fd, std::max<qint64>(status.st_size, 0),
                    std::numeric_limits<qsizetype>::max() - 1);
}

ReadFile readRegularFile(const QString& path, qint64 maxBytes, Links links) {
    const QByteArray name = QFile::encodeName(path);
    const bool follow = links == Links::follow;
    // Some devices act on being opened, and a pipe's open could wait for a writer: what is no
    // regular file is refused before it is opened.
    if (struct stat before{};
        (follow ? ::stat(name.constData(), &before) : ::lstat(name.constData(), &before)) == 0) {
        if (std::optional<FileIoError> refused = refusal(path, before)) {
            throw *refused;
        }
    }
    // O_NONBLOCK and O_NOFOLLOW in case a pipe or a link was swapped in since; a regular file
    // does not mind them.
    const int fd =
        ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        const int error = errno;
        struct stat now {};
        if (error == ELOOP && ::lstat(name.constData(), &now) == 0) {
            if (std::optional<FileIoError> refused = refusal(path, now)) {
                throw *refused;
            }
        }
        throw readError(path, error);
    }
    const OpenFile file(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        throw readError(path, errno);
    }
    if (std::optional<FileIoError> refused = refusal(path, status)) {
        throw *refused;
    }
    if (status.st_size > maxBytes) {
        throw readError(path, EFBIG);
    }
    return {readUpTo(path, fd, status.st_size, maxBytes), status};
}

std::optional<QByteArray> tryReadRegularFile(const QString& path, qint64 maxBytes, Links links) {
    try {
        return readRegularFile(path, maxBytes, links).bytes;
    } catch (const FileIoError&) {
        return std::nullopt;
    }
}

std::optional<FileIoError> whyNoRegularFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) == 0) {
        return refusal(path, status);
    }
    // Looked at again as a link: a file made since the first look is no link to nothing.
    if (errno == ENOENT && ::lstat(name.constData(), &status) == 0 && S_ISLNK(status.st_mode)) {
        return readError(path, ENOENT);
    }
    return std::nullopt;
}

} // namespace bw::fs
