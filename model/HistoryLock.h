#pragma once

#include "model/ReportStoreError.h"

#include <QLockFile>
#include <QString>

namespace bw {

// Holds reports.lock in a history folder while one process reads, repairs or writes the
// history there, so that the program, a second instance and bw-store never interleave their
// reads, backups and writes. A lock left by a process that no longer runs is taken over, or, where
// the folder takes no new file, passed over at once; one held by a live process is waited for.
class HistoryLock {
public:
    // The folder takes no new file (read-only, full, over its quota), so the lock cannot be made
    // there, or a dead holder's lock cannot be cleared: then no process can be writing the
    // history there, and what is on disk may still be read.
    class Unwritable : public ReportStoreError {
    public:
        explicit Unwritable(const ReportStoreError& error) : ReportStoreError(error) {}
    };

    // Throws ReportStoreError(directoryUnavailable) naming the folder and why: Unwritable with the
    // system's reason, or a plain one when another process holds the lock past the wait. Throws
    // fs::FileIoError at once, saying what it is, when something that is no file (a folder, a
    // pipe, a device, a link to nothing) stands in the lock file's place: no process holds that,
    // and none can lock the history until it goes.
    explicit HistoryLock(const QString& folder);

private:
    QLockFile lock_;
};

} // namespace bw
