#pragma once

#include <QByteArray>
#include <QString>
#include <sys/stat.h>

namespace bw::fs {

// Every byte of the file at `path` (symbolic links followed). Throws FileIoError with the
// system's reason when the file cannot be opened or read, a folder included.
QByteArray readWholeFile(const QString& path);

// The same, with what the file's status said as it was opened, before the read: one open of the
// path for both.
struct ReadFile {
    QByteArray bytes;
    struct stat status;
};
ReadFile readWholeFileAndStatus(const QString& path);

} // namespace bw::fs
