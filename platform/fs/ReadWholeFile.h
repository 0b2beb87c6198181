#pragma once

#include <QByteArray>
#include <QString>
#include <sys/stat.h>

namespace bw::fs {

// Every byte of the file at `path` (symbolic links followed), whatever it is: a pipe is read to
// its end. Throws FileIoError with the system's reason when the file cannot be opened or read, a
// folder included.
QByteArray readWholeFile(const QString& path);

// Every byte of the regular file at `path` (symbolic links followed), with what its status said as
// it was opened. Anything else is refused before a byte is read, since a pipe could block the
// reader for good and a device never end, and so is a file of more than `maxBytes`: each throws
// FileIoError saying why, as does a file that cannot be opened or read.
struct ReadFile {
    QByteArray bytes;
    struct stat status;
};
ReadFile readBoundedFile(const QString& path, qint64 maxBytes);

} // namespace bw::fs
