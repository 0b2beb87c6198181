#pragma once

#include "platform/fs/TreeRemoval.h"

#include <QStringList>
#include <stop_token>

namespace bw::fs {

// A private folder (mode 0700) in the user's temporary directory, named by a prefix and a new
// upper-case UUID. It is locked while the object lives, so that removeAbandonedFolders can tell it
// from what a killed run left. When the object goes, the folder is removed with everything in it
// in the background (removeTreeInBackground), locked until it is gone, so that the run ends at
// once however much the folder holds; what the program's end leaves, a later start's sweep takes.
// On a file system that refuses locks (some network and user-space ones) it goes unlocked: no
// sweep touches it, so it is removed before the object is gone.
class TemporaryFolder {
public:
    // Throws std::system_error with the system's message when the folder cannot be created.
    explicit TemporaryFolder(const QString& prefix);
    ~TemporaryFolder();

    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const QString& path() const { return path_; }

private:
    QString path_;
    int lock_ = -1;
};

// Removes the folders in `base` named by one of `prefixes` and an upper-case UUID that belong to
// this user and that no living TemporaryFolder holds: those of runs that were killed, and the
// hidden ones (a dot before the name) of runs killed while making theirs. Stops between two
// entries once `stop` is requested; what is left stays for a later sweep. Returns how many
// folders are gone.
int removeAbandonedFolders(const QString& base, const QStringList& prefixes,
                           std::stop_token stop = {});

// flock(2), unless a test puts in a stand-in for a file system that refuses locks.
using FolderLockCall = int (*)(int fd, int operation);
void setFolderLockCall(FolderLockCall call);

} // namespace bw::fs
