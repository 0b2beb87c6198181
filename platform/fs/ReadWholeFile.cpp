#include "platform/fs/ReadWholeFile.h"

#include "platform/fs/FileIoError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::fs {

QByteArray readWholeFile(const QString& path) {
    const auto fail = [&](int errorNumber) {
        return FileIoError(FileIoError::Operation::read, path, errorNumber);
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw fail(errno);
    }
    struct stat info {};
    QByteArray bytes;
    if (::fstat(fd, &info) == 0 && info.st_size > 0) {
        bytes.reserve(info.st_size);
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
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
        bytes.append(buffer, count);
    }
    ::close(fd);
    return bytes;
}

} // namespace bw::fs
