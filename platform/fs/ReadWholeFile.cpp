#include "platform/fs/ReadWholeFile.h"

#include "platform/fs/FileIoError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::fs {

QByteArray readWholeFile(const QString& path) {
    return readWholeFileAndStatus(path).bytes;
}

ReadFile readWholeFileAndStatus(const QString& path) {
    const auto fail = [&](int errorNumber) {
        return FileIoError(FileIoError::Operation::read, path, errorNumber);
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw fail(errno);
    }
    // Read straight into the result, sized for the whole file and one byte more to see its end;
    // a file that grows meanwhile, or has no size (a pipe), makes it grow as it goes.
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw fail(error);
    }
    const qsizetype expected = info.st_size > 0 ? info.st_size : 0;
    QByteArray bytes(expected + 1, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        if (size == bytes.size()) {
            bytes.resize(std::max<qsizetype>(bytes.size() * 2, 64 * 1024));
        }
        const ssize_t count = ::read(fd, bytes.data() + size, std::size_t(bytes.size() - size));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            const int error = errno;
            ::close(fd);
            throw fail(error);
        }
        if (count == 0) {
            break;
        }
        size += count;
    }
    bytes.truncate(size);
    ::close(fd);
    return {std::move(bytes), info};
}

} // namespace bw::fs
