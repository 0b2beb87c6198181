#include "model/ReportIconFiles.h"

#include "platform/fs/AtomicFile.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/json/JsonValues.h"

#include <QDir>
#include <QFileInfo>

namespace bw {

namespace {

QString iconsFolder(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("ReportIcons"));
}

QString iconPath(const QString& folder, const QUuid& id) {
    return QDir(iconsFolder(folder)).filePath(json::formatUuid(id) + QStringLiteral(".png"));
}

std::optional<QByteArray> readIcon(const QString& path) {
    try {
        return fs::readWholeFile(path);
    } catch (const fs::FileIoError&) {
        return std::nullopt;
    }
}

// Most saves repeat the icons of earlier ones; an identical file needs no new write and sync.
bool storeIcon(const QString& path, const QByteArray& icon) {
    const QFileInfo existing(path);
    if (existing.isFile() && existing.size() == icon.size() && readIcon(path) == icon) {
        return true;
    }
    try {
        fs::writeFileAtomically(path, icon);
        return true;
    } catch (const fs::FileIoError&) {
        return false;
    }
}

} // namespace

void hydrateIcons(std::vector<ScanReport>& reports, const QString& folder) {
    for (ScanReport& report : reports) {
        if (!report.metadata.iconPNG) {
            report.metadata.iconPNG = readIcon(iconPath(folder, report.id));
        }
    }
}

std::vector<ScanReport> externalizeIcons(const std::vector<ScanReport>& reports,
                                         const QString& folder) {
    QDir().mkpath(iconsFolder(folder));
    std::vector<ScanReport> stored = reports;
    for (ScanReport& report : stored) {
        if (report.metadata.iconPNG &&
            storeIcon(iconPath(folder, report.id), *report.metadata.iconPNG)) {
            report.metadata.iconPNG.reset();
        }
    }
    return stored;
}

void pruneIcons(const QSet<QUuid>& keeping, const QString& folder) {
    const QDir icons(iconsFolder(folder));
    const QFileInfoList entries =
        icons.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.suffix().toLower() != u"png" || (entry.isDir() && !entry.isSymLink())) {
            continue;
        }
        const std::optional<QUuid> id = json::parseUuid(entry.completeBaseName());
        if (id && !keeping.contains(*id)) {
            QFile::remove(entry.filePath());
        }
    }
}

} // namespace bw
