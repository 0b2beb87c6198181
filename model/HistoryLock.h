#pragma once

#include <QLockFile>
#include <QString>

namespace bw {

// Holds reports.lock in a history folder while one process reads, repairs or writes the
// history there, so that the program, a second instance and bw-store never interleave their
// reads, backups and writes. A lock left by a process that no longer runs is taken over; one
// held by a live process is waited for.
class HistoryLock {
public:
    // Throws ReportStoreError(directoryUnavailable) when the lock cannot be had in time or the
    // lock file cannot be made there.
    explicit HistoryLock(const QString& folder);

private:
    QLockFile lock_;
};

} // namespace bw
