#pragma once

#include "model/ScanReport.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <vector>

// App icons live beside the history as ReportIcons/<UUID>.png, which keeps the JSON small.
// None of these fail: an icon that cannot be read, written or removed is simply not.
namespace bw {

// The bytes last read from or written to each icon file, with what the file looked like then
// (inode, size, modification and change times). A file that still looks the same holds the same
// bytes, so saving an unchanged icon needs no read of its file.
class IconFileCache {
public:
    struct Stamp {
        quint64 inode;
        qint64 size;
        qint64 modified; // nanoseconds
        qint64 changed;
        bool operator==(const Stamp&) const = default;
    };

    static std::optional<Stamp> stampOf(const QString& path);
    // What a regular file's status says; nothing for any other file.
    static std::optional<Stamp> stampOf(const struct stat& status);

    // True when the file at `path` is known to hold exactly `bytes`.
    bool holds(const QString& path, const QByteArray& bytes) const;
    void remember(const QString& path, const Stamp& stamp, const QByteArray& bytes);
    void keepOnly(const QSet<QString>& paths);

private:
    struct Entry {
        Stamp stamp;
        QByteArray bytes;
    };
    QHash<QString, Entry> entries_;
};

// The icon files of a history folder as read at one moment, by report id.
struct IconFile {
    IconFileCache::Stamp stamp;
    QByteArray bytes;
};
using IconFiles = QHash<QUuid, IconFile>;

// Every icon file in the folder, so that they can be read while the history decodes.
IconFiles readIconFiles(const QString& folder);

// Fills in the icon of every report that has none from its file, when that can be read; from
// `read` for the files it holds.
void hydrateIcons(std::vector<ScanReport>& reports, const QString& folder, IconFileCache& cache,
                  const IconFiles& read = {});

// The copies to store in the JSON: each icon that could be written to its file is left out.
// `cache` keeps only what it knows of these reports' icon files.
std::vector<ScanReport> externalizeIcons(const std::vector<ScanReport>& reports,
                                         const QString& folder, IconFileCache& cache);

// Removes the UUID-named PNG files of reports that are neither kept nor among those that
// `stillWanted` gives, which is asked only when some file would go; other files stay, and all of
// them when it gives nothing (what is still wanted cannot be known).
void pruneIcons(const QSet<QUuid>& keeping, const QString& folder,
                const std::function<std::optional<QSet<QUuid>>()>& stillWanted);

} // namespace bw
