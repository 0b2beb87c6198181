#include "model/SetAsideReportIds.h"

#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/json/JsonValues.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace bw {

namespace {

// Every quoted UUID in a history file's bytes, damaged or not.
QSet<QUuid> namedIn(const QByteArray& bytes) {
    constexpr qsizetype uuidLength = 36;
    QSet<QUuid> ids;
    for (qsizetype quote = bytes.indexOf('"'); quote >= 0 && quote + uuidLength + 1 < bytes.size();
         quote = bytes.indexOf('"', quote + 1)) {
        if (bytes[quote + uuidLength + 1] != '"' || bytes[quote + 9] != '-') {
            continue;
        }
        if (const std::optional<QUuid> id =
                json::parseUuid(QString::fromLatin1(bytes.constData() + quote + 1, uuidLength))) {
            ids.insert(*id);
        }
    }
    return ids;
}

// A link to nothing, or into a loop, holds no file; any other failure may hide one.
bool leadsNowhere(int errorNumber) {
    return errorNumber == ENOENT || errorNumber == ENOTDIR || errorNumber == ELOOP;
}

} // namespace

std::optional<QSet<QUuid>> SetAsideReportIds::in(const QString& folder) {
    const QDir dir(folder);
    QSet<QUuid> named;
    QHash<QString, Read> seen;
    bool unreadable = false;
    // Every kind of entry, as a link to a file is read as that file; what is no file is passed
    // over.
    for (const QString& name : dir.entryList({QStringLiteral("reports.corrupt-*.json")},
                                             QDir::AllEntries | QDir::System, QDir::Unsorted)) {
        const QString path = dir.filePath(name);
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0 ? leadsNowhere(errno)
                                                                      : !S_ISREG(status.st_mode)) {
            continue;
        }
        const auto known = files_.constFind(path);
        if (known != files_.constEnd() && IconFileCache::stampOf(status) == known->stamp) {
            seen.insert(path, *known);
        } else {
            try {
                const fs::ReadFile file = fs::readRegularFile(path, maxBytes_, fs::Links::follow);
                if (const auto stamp = IconFileCache::stampOf(file.status)) {
                    seen.insert(path, {*stamp, namedIn(file.bytes)});
                }
            } catch (const fs::FileIoError&) {
                // The files after it are still read, so that the next save need not read them.
                unreadable = true;
                continue;
            }
        }
        named.unite(seen.value(path).ids);
    }
    files_ = std::move(seen);
    return unreadable ? std::nullopt : std::optional(std::move(named));
}

} // namespace bw
