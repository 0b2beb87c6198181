#pragma once

#include <QByteArray>
#include <QString>

namespace bw::fs {

// Every byte of the file at `path` (symbolic links followed). Throws FileIoError with the
// system's reason when the file cannot be opened or read, a folder included.
QByteArray readWholeFile(const QString& path);

} // namespace bw::fs
