#pragma once

#include <QString>

namespace bw::fs {

// A private folder (mode 0700) in the user's temporary directory, named by a prefix and a new
// upper-case UUID, removed with everything in it when the object goes away.
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
};

// Deletes `path` and everything below it without following links; folders whose permissions
// would stop the removal are opened up first. Errors are ignored.
void removeTree(const QString& path);

} // namespace bw::fs
