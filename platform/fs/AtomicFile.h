#pragma once

#include <QByteArray>
#include <QString>

namespace bw::fs {

enum class Replace {
    existing, // an existing file at the path is replaced
    never     // an existing entry at the path makes the write fail with EEXIST
};

// Writes `bytes` to `path` so that a reader, or the disk after a crash, sees either the old file
// or the complete new one: the bytes go to a temporary file in the same folder, which is flushed
// and synced, then renamed (or, with Replace::never, linked) into place, and the folder is synced.
// A replaced file's permissions carry over to the new one.
// Throws FileIoError with the system's reason. A failure leaves the previous file as it was and
// no temporary file behind; only when the final folder sync fails is the new file already in
// place, reported as a failure because its durability is not confirmed.
void writeFileAtomically(const QString& path, const QByteArray& bytes,
                         Replace replace = Replace::existing);

// Renames the entry at `from` to `to`, whatever it is (a folder, a pipe, a device, a file of any
// size), so that it is kept as it is; an existing entry at `to` makes it fail with EEXIST. The
// folder is synced afterwards. Throws FileIoError with the system's reason; a failure leaves both
// paths as they were, unless only the folder sync failed.
void moveWithoutReplacing(const QString& from, const QString& to);

} // namespace bw::fs
