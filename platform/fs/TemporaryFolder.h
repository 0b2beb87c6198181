#pragma once

#include <QStringList>

namespace bw::fs {

// A private folder (mode 0700) in the user's temporary directory, named by a prefix and a new
// upper-case UUID, removed with everything in it when the object goes away. It is locked while
// the object lives, so that removeAbandonedFolders can tell it from what a killed run left.
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

// Deletes `path` and everything below it without following links; folders whose permissions
// would stop the removal are opened up first. Errors are ignored.
void removeTree(const QString& path);

// Removes the folders in `base` named by one of `prefixes` and an upper-case UUID that belong to
// this user and that no living TemporaryFolder holds: those of runs that were killed. Returns how
// many were removed.
int removeAbandonedFolders(const QString& base, const QStringList& prefixes);

} // namespace bw::fs
