#include "platform/fs/FileStatus.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::fs {

std::optional<ItemStatus> itemStatus(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    ItemKind kind = ItemKind::other;
    if (S_ISREG(info.st_mode)) {
        kind = ItemKind::regularFile;
    } else if (S_ISDIR(info.st_mode)) {
        kind = ItemKind::folder;
    } else if (S_ISLNK(info.st_mode)) {
        kind = ItemKind::symbolicLink;
    }
    return ItemStatus{kind, static_cast<qint64>(info.st_size)};
}

bool exists(const QString& path) {
    return itemStatus(path).has_value();
}

bool isFolder(const QString& path) {
    const auto status = itemStatus(path);
    return status && status->kind == ItemKind::folder;
}

bool isExecutableFile(const QString& path) {
    const auto status = itemStatus(path);
    return status && status->kind == ItemKind::regularFile &&
           ::access(QFile::encodeName(path).constData(), X_OK) == 0;
}

bool resolvesInside(const QString& path, const QString& folder) {
    const QString resolvedFolder = QFileInfo(folder).canonicalFilePath();
    const QString resolvedPath = QFileInfo(path).canonicalFilePath();
    if (resolvedFolder.isEmpty() || resolvedPath.isEmpty()) {
        return false;
    }
    const QString prefix = resolvedFolder.endsWith(u'/') ? resolvedFolder : resolvedFolder + u'/';
    return resolvedPath.startsWith(prefix);
}

QString lastPathComponent(const QString& path) {
    QStringView view(path);
    while (view.size() > 1 && view.endsWith(u'/')) {
        view.chop(1);
    }
    const qsizetype slash = view.lastIndexOf(u'/');
    return (slash < 0 ? view : view.mid(slash + 1)).toString();
}

QString pathExtension(const QString& path) {
    const QString name = lastPathComponent(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    // A leading dot names a hidden file, not an extension.
    if (dot <= 0) {
        return {};
    }
    return name.mid(dot + 1);
}

} // namespace bw::fs
