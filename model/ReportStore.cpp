#include "model/ReportStore.h"

#include "model/HistoryLock.h"
#include "model/ReportHistoryCoding.h"
#include "model/ReportIconFiles.h"
#include "model/ReportStoreError.h"
#include "platform/fs/AtomicFile.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <cerrno>
#include <filesystem>
#include <future>
#include <mutex>

namespace bw {

namespace {

const QString primaryName = QStringLiteral("reports.json");
const QString backupName = QStringLiteral("reports.backup.json");
// Far more damaged histories than one second can produce.
constexpr int maxSetAsideAttempts = 100;
// Far beyond any history (about 100,000 reports): a larger file is no history of ours, and is
// refused before it fills the memory.
constexpr qint64 maxHistoryBytes = qint64(1) << 30;

const QString restoredMissingNotice = QStringLiteral(
    "The primary report history was missing and was restored from its last good backup.");
const QString restoredDamagedNotice =
    QStringLiteral("The report history was damaged and restored from its last good backup. The "
                   "unreadable file was preserved for support.");

QString noticeFor(ReportStoreError::Kind kind) {
    return ReportStoreError(kind).description();
}

ReportStore::LoadResult failure(QString notice) {
    return {{}, std::move(notice), false};
}

bool exists(const QString& path) {
    return QFileInfo::exists(path);
}

// A history file's bytes; a pipe, a device or a file larger than any history is refused.
QByteArray readHistoryFile(const QString& path) {
    return fs::readBoundedFile(path, maxHistoryBytes).bytes;
}

// Bytes that may be replaced without a load having set any of them aside first.
bool decodesWhole(const QByteArray& bytes) {
    const DecodedHistory history = decodeHistory(bytes);
    return history.state == DecodedHistory::State::decoded && history.undecodable.empty();
}

// What the backup offers when the primary file cannot be used.
struct Backup {
    enum class State {
        good,       // `reports` holds the whole history
        absent,     // there is no backup
        unreadable, // its bytes could not be read, for `readError`
        damaged,    // its `bytes` do not decode whole
        newer       // another version's history
    };
    State state;
    QByteArray bytes;
    std::vector<ScanReport> reports;
    QString readError;
};

Backup readBackup(const QString& path) {
    QByteArray bytes;
    try {
        bytes = readHistoryFile(path);
    } catch (const fs::FileIoError& error) {
        return error.errorNumber() == ENOENT
                   ? Backup{Backup::State::absent, {}, {}, {}}
                   : Backup{Backup::State::unreadable, {}, {}, error.description()};
    }
    DecodedHistory history = decodeHistory(bytes);
    if (history.state == DecodedHistory::State::newer) {
        return {Backup::State::newer, {}, {}, {}};
    }
    // A backup takes the primary's place whole, so it must be whole itself.
    if (history.state != DecodedHistory::State::decoded || !history.undecodable.empty()) {
        return {Backup::State::damaged, std::move(bytes), {}, {}};
    }
    return {Backup::State::good, std::move(bytes), std::move(history.reports), {}};
}

// No history can be shown, and none written over what is on disk.
ReportStore::LoadResult noUsableBackup(const Backup& backup) {
    QString notice = noticeFor(ReportStoreError::Kind::corruptStore);
    if (backup.state == Backup::State::unreadable) {
        notice += u' ' + backup.readError;
    }
    return failure(notice);
}

// Puts the backup's readable copy of each report that did not decode in the report's place, and
// gives how many it put back. Reports are never changed once made, so a copy with the same id is
// the same report.
std::size_t restoreFromBackup(DecodedHistory& history, const QString& backupPath) {
    QSet<QUuid> wanted;
    for (const DecodedHistory::Undecodable& lost : history.undecodable) {
        if (lost.id) {
            wanted.insert(*lost.id);
        }
    }
    // A report already shown is not shown twice.
    for (const ScanReport& report : history.reports) {
        wanted.remove(report.id);
    }
    if (wanted.isEmpty()) {
        return 0;
    }
    DecodedHistory backup;
    try {
        backup = decodeHistory(readHistoryFile(backupPath));
    } catch (const fs::FileIoError&) {
        return 0;
    }
    QHash<QUuid, ScanReport> copies;
    for (ScanReport& report : backup.reports) {
        if (wanted.contains(report.id)) {
            copies.insert(report.id, std::move(report));
        }
    }
    if (copies.isEmpty()) {
        return 0;
    }
    std::vector<ScanReport> merged;
    merged.reserve(history.reports.size() + std::size_t(copies.size()));
    std::size_t next = 0;
    std::size_t restored = 0;
    for (const DecodedHistory::Undecodable& lost : history.undecodable) {
        for (; next < lost.position; ++next) {
            merged.push_back(std::move(history.reports[next]));
        }
        if (lost.id && copies.contains(*lost.id)) {
            merged.push_back(copies.take(*lost.id));
            ++restored;
        }
    }
    for (; next < history.reports.size(); ++next) {
        merged.push_back(std::move(history.reports[next]));
    }
    history.reports = std::move(merged);
    return restored;
}

bool writeIgnoringFailure(const QString& path, const QByteArray& bytes) {
    try {
        fs::writeFileAtomically(path, bytes);
        return true;
    } catch (const fs::FileIoError&) {
        // Best effort: what was read stays valid, and the next save writes the file again.
        return false;
    }
}

QString quotedPath(const QString& path) {
    return u'\u201C' + QDir::toNativeSeparators(path) + u'\u201D';
}

// `count` reports did not decode, of which `restored` came back from the backup.
QString setAsideNotice(std::size_t count, std::size_t restored, const QString& path) {
    if (restored == count) {
        return count == 1 ? QStringLiteral("One report could not be read and was restored from its "
                                           "last good backup; the unreadable file was set aside "
                                           "in %1.")
                                .arg(quotedPath(path))
                          : QStringLiteral("%1 reports could not be read and were restored from "
                                           "their last good backup; the unreadable file was set "
                                           "aside in %2.")
                                .arg(count)
                                .arg(quotedPath(path));
    }
    if (restored > 0) {
        const QString back = restored == 1
                                 ? QStringLiteral("one of them was restored")
                                 : QStringLiteral("%1 of them were restored").arg(restored);
        return QStringLiteral("%1 reports could not be read and were set aside in %2; %3 from "
                              "the last good backup, and the rest of the history is shown.")
            .arg(count)
            .arg(quotedPath(path), back);
    }
    return count == 1 ? QStringLiteral("One report could not be read and was set aside in %1; "
                                       "the rest of the history is shown.")
                            .arg(quotedPath(path))
                      : QStringLiteral("%1 reports could not be read and were set aside in %2; "
                                       "the rest of the history is shown.")
                            .arg(count)
                            .arg(quotedPath(path));
}

// Said when neither history file could be read and both were set aside, so that a new history
// could begin; an absent path is a file that was not there.
QString startedOverNotice(const std::optional<QString>& primary,
                          const std::optional<QString>& backup) {
    if (primary && backup) {
        return QStringLiteral("The report history and its backup could not be read and were set "
                              "aside in %1 and %2; a new history was started.")
            .arg(quotedPath(*primary), quotedPath(*backup));
    }
    if (primary) {
        return QStringLiteral("The report history could not be read and has no backup; it was "
                              "set aside in %1 and a new history was started.")
            .arg(quotedPath(*primary));
    }
    return QStringLiteral("The report history was missing and its backup could not be read; the "
                          "backup was set aside in %1 and a new history was started.")
        .arg(quotedPath(backup.value_or(QString())));
}

// What a save killed mid-way left behind (".reports.json.<id>.tmp" and the like). Only called
// with the history lock held, so no other writer's file is among them.
void removeStaleTemporaryFiles(const QString& folder) {
    const QDir dir(folder);
    const QStringList stale = dir.entryList({QStringLiteral(".reports*.json.*.tmp")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : stale) {
        QFile::remove(dir.filePath(name));
    }
}

} // namespace

// What bytes hold, to know them again without keeping a long history's bytes in memory.
struct ReportStore::Fingerprint {
    qsizetype size;
    size_t hash;

    explicit Fingerprint(const QByteArray& bytes)
        : size(bytes.size()), hash(qHashBits(bytes.constData(), size_t(bytes.size()), 0x5eed)) {}
    bool operator==(const Fingerprint&) const = default;
};

struct ReportStore::Memory {
    std::mutex mutex; // one load or save at a time
    // The primary file as last read and decoded or written.
    std::optional<Fingerprint> primary;
    IconFileCache icons;
};

ReportStore::ReportStore(std::optional<QString> baseDirectory, Clock clock)
    : baseDirectory_(std::move(baseDirectory)), clock_(std::move(clock)),
      memory_(std::make_shared<Memory>()) {}

QString ReportStore::location() const {
    if (baseDirectory_) {
        return *baseDirectory_;
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("Berthwatch"));
}

QString ReportStore::reportsDirectory() const {
    const QString folder = location();
    if (folder.isEmpty()) {
        throw ReportStoreError(ReportStoreError::Kind::directoryUnavailable);
    }
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error) {
        throw ReportStoreError(ReportStoreError::Kind::directoryUnavailable,
                               QString::fromStdString(error.message()));
    }
    return folder;
}

ReportStore::LoadResult ReportStore::load() const {
    const std::lock_guard lock(memory_->mutex);
    QString folder;
    try {
        folder = reportsDirectory();
    } catch (const ReportStoreError& error) {
        return failure(error.description());
    }
    // Held through the repairs too, so no other process saves between what this load reads
    // and what it writes back.
    std::optional<HistoryLock> historyLock;
    try {
        historyLock.emplace(folder);
    } catch (const ReportStoreError& error) {
        // A folder this process may not write to is still read: nothing here can write it.
        if (QFileInfo(folder).isWritable()) {
            return failure(error.description());
        }
    }
    if (historyLock) {
        removeStaleTemporaryFiles(folder);
    }
    const QString primary = QDir(folder).filePath(primaryName);
    if (!exists(primary)) {
        return restoreMissingPrimary(folder);
    }
    // The icon files are read while the history is read and decoded.
    std::future<IconFiles> icons = std::async(std::launch::async, readIconFiles, folder);
    QByteArray bytes;
    try {
        bytes = readHistoryFile(primary);
    } catch (const fs::FileIoError& error) {
        return failure(error.description());
    }
    DecodedHistory history = decodeHistory(bytes);
    switch (history.state) {
    case DecodedHistory::State::decoded:
        if (!history.undecodable.empty()) {
            return setAsideUndecodable(folder, bytes, std::move(history), icons.get());
        }
        memory_->primary.emplace(bytes);
        hydrateIcons(history.reports, folder, memory_->icons, icons.get());
        return {std::move(history.reports), std::nullopt, true};
    case DecodedHistory::State::newer:
        // Another version's history: an older backup must not take its place.
        return failure(noticeFor(ReportStoreError::Kind::unsupportedSchema));
    case DecodedHistory::State::damaged:
        break;
    }
    return recoverDamagedPrimary(folder, bytes, icons.get());
}

ReportStore::LoadResult ReportStore::restoreMissingPrimary(const QString& folder) const {
    const QDir dir(folder);
    Backup backup = readBackup(dir.filePath(backupName));
    switch (backup.state) {
    case Backup::State::absent:
        return {{}, std::nullopt, true};
    case Backup::State::good:
        writeIgnoringFailure(dir.filePath(primaryName), backup.bytes);
        hydrateIcons(backup.reports, folder, memory_->icons);
        return {std::move(backup.reports), restoredMissingNotice, true};
    case Backup::State::damaged:
        return startOver(folder, std::nullopt, backup.bytes);
    case Backup::State::unreadable:
    case Backup::State::newer:
        break;
    }
    return noUsableBackup(backup);
}

// `icons` are the folder's icon files, as read beside the decode of the damaged bytes.
ReportStore::LoadResult ReportStore::recoverDamagedPrimary(const QString& folder,
                                                           const QByteArray& damaged,
                                                           const IconFiles& icons) const {
    const QDir dir(folder);
    Backup backup = readBackup(dir.filePath(backupName));
    switch (backup.state) {
    case Backup::State::good:
        break;
    case Backup::State::absent:
        return startOver(folder, damaged, std::nullopt);
    case Backup::State::damaged:
        return startOver(folder, damaged, backup.bytes);
    case Backup::State::unreadable:
    case Backup::State::newer:
        // Bytes that cannot be set aside, or another version's, are never written over.
        return noUsableBackup(backup);
    }
    hydrateIcons(backup.reports, folder, memory_->icons, icons);
    // The damaged bytes are replaced only once a copy of them is safely on disk.
    if (!setAside(folder, damaged)) {
        return {std::move(backup.reports),
                noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore), false};
    }
    writeIgnoringFailure(dir.filePath(primaryName), backup.bytes);
    return {std::move(backup.reports), restoredDamagedNotice, true};
}

// Neither history file decodes: both are set aside byte for byte, and an empty history takes
// their place, so that scans are saved again. Until every copy is safely on disk nothing is
// replaced.
ReportStore::LoadResult ReportStore::startOver(const QString& folder,
                                               const std::optional<QByteArray>& primary,
                                               const std::optional<QByteArray>& backup) const {
    std::optional<QString> primaryAside;
    std::optional<QString> backupAside;
    if ((primary && !(primaryAside = setAside(folder, *primary))) ||
        (backup && !(backupAside = setAside(folder, *backup)))) {
        return failure(noticeFor(ReportStoreError::Kind::corruptStore));
    }
    const QDir dir(folder);
    const QByteArray empty = encodeHistory({});
    const bool written = writeIgnoringFailure(dir.filePath(primaryName), empty);
    if (backup) {
        writeIgnoringFailure(dir.filePath(backupName), empty);
    }
    // The bytes are safe in the set-aside files, so a failed write still allows saving over them.
    if (written || primary) {
        memory_->primary.emplace(written ? empty : *primary);
    }
    return {{}, startedOverNotice(primaryAside, backupAside), true};
}

// The history's reports that decode, once the file that holds the others too is set aside byte for
// byte; reports.json then holds the readable ones alone, so that saving can go on.
ReportStore::LoadResult ReportStore::setAsideUndecodable(const QString& folder,
                                                         const QByteArray& bytes,
                                                         DecodedHistory history,
                                                         const IconFiles& icons) const {
    const std::optional<QString> aside = setAside(folder, bytes);
    if (!aside) {
        hydrateIcons(history.reports, folder, memory_->icons, icons);
        return {std::move(history.reports),
                noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore), false};
    }
    const std::size_t restored = restoreFromBackup(history, QDir(folder).filePath(backupName));
    // Encoded before icons are filled in, so that the icons stay in their files and an icon
    // kept inline stays inline.
    const QByteArray readable = encodeHistory(history.reports);
    hydrateIcons(history.reports, folder, memory_->icons, icons);
    const QString primary = QDir(folder).filePath(primaryName);
    // The bytes are safe in the set-aside file, so a failed rewrite still allows saving.
    memory_->primary.emplace(writeIgnoringFailure(primary, readable) ? readable : bytes);
    return {std::move(history.reports),
            setAsideNotice(history.undecodable.size(), restored, *aside), true};
}

// Writes the damaged bytes to reports.corrupt-<seconds>.json, or -2, -3, … when that name is
// taken, never replacing an earlier preserved file, and gives the path written. Gives up after a
// bounded number of names.
std::optional<QString> ReportStore::setAside(const QString& folder,
                                             const QByteArray& damaged) const {
    const QString stem = QStringLiteral("reports.corrupt-%1").arg(clock_().toSecsSinceEpoch());
    for (int attempt = 1; attempt <= maxSetAsideAttempts; ++attempt) {
        const QString suffix = attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt);
        const QString path = QDir(folder).filePath(stem + suffix + QStringLiteral(".json"));
        try {
            fs::writeFileAtomically(path, damaged, fs::Replace::never);
            return path;
        } catch (const fs::FileIoError& error) {
            if (error.errorNumber() != EEXIST) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

void ReportStore::save(const std::vector<ScanReport>& reports) const {
    const std::lock_guard lock(memory_->mutex);
    const QString folder = reportsDirectory();
    const HistoryLock historyLock(folder);
    removeStaleTemporaryFiles(folder);
    const QDir dir(folder);
    const QString primary = dir.filePath(primaryName);
    const QString backup = dir.filePath(backupName);
    if (exists(primary)) {
        const QByteArray previous = readHistoryFile(primary);
        // Bytes this store decoded or wrote itself need no second look.
        if (memory_->primary != Fingerprint(previous) && !decodesWhole(previous)) {
            throw ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore);
        }
        fs::writeFileAtomically(backup, previous);
    }
    const QByteArray bytes = encodeHistory(externalizeIcons(reports, folder, memory_->icons));
    fs::writeFileAtomically(primary, bytes);
    memory_->primary.emplace(bytes);
    if (!exists(backup)) {
        writeIgnoringFailure(backup, bytes);
    }
    QSet<QUuid> keeping;
    for (const ScanReport& report : reports) {
        keeping.insert(report.id);
    }
    pruneIcons(keeping, folder);
}

} // namespace bw
