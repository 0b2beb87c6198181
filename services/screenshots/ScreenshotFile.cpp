#include "services/screenshots/ScreenshotFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

namespace {

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

QString describe(ScreenshotFileError::Kind kind, const QString& systemMessage) {
    switch (kind) {
    case ScreenshotFileError::Kind::unreadable:
        return systemMessage;
    case ScreenshotFileError::Kind::notAFile:
        return QStringLiteral("The item is not a regular file.");
    case ScreenshotFileError::Kind::tooLarge:
        return QStringLiteral("The file is larger than %1 MB.")
            .arg(maxScreenshotFileBytes / (1024 * 1024));
    }
    return {};
}

} // namespace

ScreenshotFileError::ScreenshotFileError(Kind kind, const QString& systemMessage)
    : DomainError(kind, describe(kind, systemMessage)) {}

namespace {

[[noreturn]] void throwSystemError(int error) {
    throw ScreenshotFileError(ScreenshotFileError::Kind::unreadable, qt_error_string(error));
}

} // namespace

QByteArray readScreenshotFile(const QString& path) {
    // O_NONBLOCK: a FIFO given a screenshot's name must not hang the open.
    const Descriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        throwSystemError(errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        throwSystemError(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw ScreenshotFileError(ScreenshotFileError::Kind::notAFile);
    }
    if (info.st_size > maxScreenshotFileBytes) {
        throw ScreenshotFileError(ScreenshotFileError::Kind::tooLarge);
    }
    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throwSystemError(errno);
        }
        if (got == 0) {
            break; // the file shrank while we read it
        }
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

QString screenshotFileName(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace bw
