#include "services/screenshots/ScreenshotFile.h"

#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"

#include <QFileInfo>
#include <cerrno>

namespace bw {

namespace {

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

QByteArray readScreenshotFile(const QString& path) {
    try {
        return fs::readRegularFile(path, maxScreenshotFileBytes, fs::Links::follow).bytes;
    } catch (const fs::FileIoError& error) {
        switch (error.errorNumber()) {
        case EFBIG:
            throw ScreenshotFileError(ScreenshotFileError::Kind::tooLarge);
        case EISDIR:
        case EINVAL: // a pipe, socket or device
            throw ScreenshotFileError(ScreenshotFileError::Kind::notAFile);
        default:
            throw ScreenshotFileError(ScreenshotFileError::Kind::unreadable,
                                      qt_error_string(error.errorNumber()));
        }
    }
}

QString screenshotFileName(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace bw
