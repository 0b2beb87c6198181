#include "model/ReportIconFiles.h"

#include "platform/core/InParts.h"
#include "platform/fs/AtomicFile.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/json/JsonValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace bw {

namespace {

// Far beyond any app icon: a larger file, or one that is not a regular file, is no icon of ours.
// A link to an icon is read as the icon, as a dotfile manager may keep the folder's files
// elsewhere.
constexpr qint64 maxIconBytes = 64 * 1024 * 1024;

QString iconsFolder(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("ReportIcons"));
}

QString iconName(const QUuid& id) {
    return json::formatUuid(id) + QStringLiteral(".png");
}

// The folder made once for a whole history's icons.
QString iconPath(const QDir& icons, const QUuid& id) {
    return icons.filePath(iconName(id));
}

// The stamp is taken before the read: a file changed in between shows another one next time.
std::optional<QByteArray> readIcon(const QString& path, IconFileCache& cache) {
    const std::optional<IconFileCache::Stamp> stamp = IconFileCache::stampOf(path);
    std::optional<QByteArray> icon = fs::tryReadRegularFile(path, maxIconBytes, fs::Links::follow);
    if (stamp && icon) {
        cache.remember(path, *stamp, *icon);
    }
    return icon;
}

// Most saves repeat the icons of earlier ones; an identical file needs no new write and sync.
bool storeIcon(const QString& path, const QByteArray& icon, IconFileCache& cache) {
    if (cache.holds(path, icon)) {
        return true;
    }
    const std::optional<IconFileCache::Stamp> existing = IconFileCache::stampOf(path);
    if (existing && existing->size == icon.size() && readIcon(path, cache) == icon) {
        return true;
    }
    try {
        fs::writeFileAtomically(path, icon);
    } catch (const fs::FileIoError&) {
        return false;
    }
    if (const std::optional<IconFileCache::Stamp> written = IconFileCache::stampOf(path)) {
        cache.remember(path, *written, icon);
    }
    return true;
}

} // namespace

std::optional<IconFileCache::Stamp> IconFileCache::stampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return stampOf(info);
}

std::optional<IconFileCache::Stamp> IconFileCache::stampOf(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    constexpr qint64 perSecond = 1'000'000'000;
    return Stamp{quint64(info.st_ino), qint64(info.st_size),
                 qint64(info.st_mtim.tv_sec) * perSecond + info.st_mtim.tv_nsec,
                 qint64(info.st_ctim.tv_sec) * perSecond + info.st_ctim.tv_nsec};
}

bool IconFileCache::holds(const QString& path, const QByteArray& bytes) const {
    const auto entry = entries_.constFind(path);
    return entry != entries_.constEnd() && entry->bytes == bytes && stampOf(path) == entry->stamp;
}

void IconFileCache::remember(const QString& path, const Stamp& stamp, const QByteArray& bytes) {
    entries_.insert(path, {stamp, bytes});
}

void IconFileCache::keepOnly(const QSet<QString>& paths) {
    entries_.removeIf([&](const auto& entry) { return !paths.contains(entry.key()); });
}

IconFiles readIconFiles(const QString& folder) {
    const QDir icons(iconsFolder(folder));
    // Unsorted, and matched below: the listing's own sorting and patterns would cost more than
    // the reads of a long history's icons.
    const QStringList names = icons.entryList(QDir::Files, QDir::Unsorted);
    // A long history has as many small files: read a few at a time, since each read mostly
    // waits, but on two threads, since the history's parse beside them takes the other cores.
    const std::vector<IconFiles> parts = inParts(
        std::size_t(names.size()), std::max<std::size_t>(names.size() / 2, 1),
        [&](std::size_t begin, std::size_t end) {
            IconFiles read;
            for (std::size_t index = begin; index < end; ++index) {
                const QString& name = names[qsizetype(index)];
                const std::optional<QUuid> id = name.endsWith(u".png")
                                                    ? json::parseUuid(QStringView(name).chopped(4))
                                                    : std::nullopt;
                // Only the files the reports' own names lead to.
                if (!id || iconName(*id) != name) {
                    continue;
                }
                // The stamp is the file's as opened, before the read: a file changed in
                // between shows another stamp next time.
                try {
                    fs::ReadFile file =
                        fs::readRegularFile(icons.filePath(name), maxIconBytes, fs::Links::follow);
                    if (const auto stamp = IconFileCache::stampOf(file.status)) {
                        read.insert(*id, {*stamp, std::move(file.bytes)});
                    }
                } catch (const fs::FileIoError&) {
                    // Not read: the report goes without its icon, as any unreadable one.
                }
            }
            return read;
        });
    IconFiles all;
    for (const IconFiles& part : parts) {
        all.insert(part);
    }
    return all;
}

void hydrateIcons(std::vector<ScanReport>& reports, const QString& folder, IconFileCache& cache,
                  const IconFiles& read) {
    const QDir icons(iconsFolder(folder));
    for (ScanReport& report : reports) {
        if (report.metadata.iconPNG) {
            continue;
        }
        const QString path = iconPath(icons, report.id);
        if (const auto file = read.constFind(report.id); file != read.constEnd()) {
            report.metadata.iconPNG = file->bytes;
            cache.remember(path, file->stamp, file->bytes);
        } else {
            report.metadata.iconPNG = readIcon(path, cache);
        }
    }
}

std::vector<ScanReport> externalizeIcons(const std::vector<ScanReport>& reports,
                                         const QString& folder, IconFileCache& cache) {
    QDir().mkpath(iconsFolder(folder));
    const QDir icons(iconsFolder(folder));
    std::vector<ScanReport> stored = reports;
    QSet<QString> paths;
    for (ScanReport& report : stored) {
        if (!report.metadata.iconPNG) {
            continue;
        }
        const QString path = iconPath(icons, report.id);
        paths.insert(path);
        if (storeIcon(path, *report.metadata.iconPNG, cache)) {
            report.metadata.iconPNG.reset();
        }
    }
    cache.keepOnly(paths);
    return stored;
}

void pruneIcons(const QSet<QUuid>& keeping, const QString& folder,
                const std::function<std::optional<QSet<QUuid>>()>& stillWanted) {
    const QDir icons(iconsFolder(folder));
    const QFileInfoList entries =
        icons.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QHash<QUuid, QStringList> unkept;
    for (const QFileInfo& entry : entries) {
        if (entry.suffix().toLower() != u"png" || (entry.isDir() && !entry.isSymLink())) {
            continue;
        }
        const std::optional<QUuid> id = json::parseUuid(entry.completeBaseName());
        if (id && !keeping.contains(*id)) {
            unkept[*id].append(entry.filePath());
        }
    }
    if (unkept.isEmpty()) {
        return;
    }
    const std::optional<QSet<QUuid>> wanted = stillWanted();
    if (!wanted) {
        return;
    }
    for (auto files = unkept.cbegin(); files != unkept.cend(); ++files) {
        if (!wanted->contains(files.key())) {
            for (const QString& path : files.value()) {
                QFile::remove(path);
            }
        }
    }
}

} // namespace bw
