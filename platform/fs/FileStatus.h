#pragma once

#include <QString>
#include <optional>

// File tests that never follow a symbolic link at the last path component.
namespace bw::fs {

enum class ItemKind { regularFile, folder, symbolicLink, other };

struct ItemStatus {
    ItemKind kind;
    qint64 size;
};

// Absent when nothing exists at `path` (or it cannot be examined).
std::optional<ItemStatus> itemStatus(const QString& path);

bool exists(const QString& path);
bool isFolder(const QString& path);

// A regular file (not a link) that the user may execute.
bool isExecutableFile(const QString& path);

// Whether `path`, with every link and ".." resolved, names an existing item strictly inside
// `folder` (also resolved). Guards reads below a folder whose content came from an archive.
bool resolvesInside(const QString& path, const QString& folder);

// The last path component's extension (text after its last dot), or empty.
QString pathExtension(const QString& path);

// The last path component.
QString lastPathComponent(const QString& path);

} // namespace bw::fs
