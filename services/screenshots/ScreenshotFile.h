#pragma once

#include "platform/core/DomainError.h"

#include <QByteArray>
#include <QString>

namespace bw {

enum class ScreenshotFileErrorKind {
    unreadable, // the system refused to open or read it; carries the system's message
    notAFile,
    tooLarge,
};

// A screenshot file that could not be read into memory.
class ScreenshotFileError : public DomainError<ScreenshotFileErrorKind, QString> {
public:
    explicit ScreenshotFileError(Kind kind, const QString& systemMessage = {});
};

// Screenshots are a few megabytes; anything far larger is not one and must not fill memory.
inline constexpr qint64 maxScreenshotFileBytes = 256 * 1024 * 1024;

// The whole content of the regular file at `path` (links followed), read once. Throws
// ScreenshotFileError; a pipe or device never blocks the call.
QByteArray readScreenshotFile(const QString& path);

// The last component of the path: the file's name with its extension.
QString screenshotFileName(const QString& path);

} // namespace bw
