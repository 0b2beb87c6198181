#pragma once

#include "platform/fs/FileIoError.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/stat.h>

namespace bw::fs {

// Every byte of the file at `path` (symbolic links followed), whatever it is: a pipe is read to
// its end. Throws FileIoError with the system's reason when the file cannot be opened or read, a
// folder included.
QByteArray readWholeFile(const QString& path);

// Every byte of the regular file at `path`, with what its status said as it was opened. Anything
// else is refused before it is opened, and again once open in case it was swapped in between: a
// symbolic link (its target could be anywhere), a folder, a pipe (which could block the reader for
// good), a socket or a device (which may never end, or act on being opened). So is a file of more
// than `maxBytes`, unread. Each throws FileIoError saying why, as does a file that cannot be
// opened or read.
// With `Links::follow`, a link to a regular file is read as that file (a file the user chose
// through a link); everything else about the target is checked the same.
struct ReadFile {
    QByteArray bytes;
    struct stat status;
};
enum class Links { refuse, follow };
ReadFile readRegularFile(const QString& path, qint64 maxBytes, Links links = Links::refuse);

// The same for a caller to whom the reason does not matter: absent whenever it is refused or
// cannot be read.
std::optional<QByteArray> tryReadRegularFile(const QString& path, qint64 maxBytes,
                                             Links links = Links::refuse);

// Why what stands at `path` (a link followed) is not read by readRegularFile with Links::follow,
// in its words, without opening it: a folder, a pipe, a socket, a device or a link to nothing.
// Nothing for a regular file, or where nothing stands.
std::optional<FileIoError> whyNoRegularFile(const QString& path);

} // namespace bw::fs
