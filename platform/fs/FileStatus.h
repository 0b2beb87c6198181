#pragma once

#include <QByteArray>
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

// The whole content of a regular file of at most `maxBytes`; absent for links, devices, pipes,
// folders, larger files and read errors, so that a hostile bundle cannot make us block or read
// without bound.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// Whether `path`, with every link and ".." resolved, names an existing item strictly inside
// `folder` (also resolved). Guards reads below a folder whose content came from an archive.
bool resolvesInside(const QString& path, const QString& folder);

// The last path component's extension (text after its last dot), or empty.
QString pathExtension(const QString& path);

// The last path component.
QString lastPathComponent(const QString& path);

} // namespace bw::fs
