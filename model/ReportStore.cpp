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

// Bytes that may be replaced without a load having set any of them aside first.
bool decodesWhole(const QByteArray& bytes) {
    const DecodedHistory history = decodeHistory(bytes);
    return history.state == DecodedHistory::State::decoded && history.undecodable == 0;
}

struct ReadHistory {
    QByteArray bytes;
    std::vector<ScanReport> reports;
};

// A history file's bytes and reports, or nothing when it cannot be read or does not decode.
std::optional<ReadHistory> readGoodHistory(const QString& path) {
    QByteArray bytes;
    try {
        bytes = fs::readWholeFile(path);
    } catch (const fs::FileIoError&) {
        return std::nullopt;
    }
    DecodedHistory history = decodeHistory(bytes);
    // A backup takes the primary's place whole, so it must be whole itself.
    if (history.state != DecodedHistory::State::decoded || history.undecodable > 0) {
        return std::nullopt;
    }
    return ReadHistory{std::move(bytes), std::move(history.reports)};
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

QString setAsideNotice(std::size_t count, const QString& path) {
    const QString where = QDir::toNativeSeparators(path);
    return count == 1
               ? QStringLiteral("One report could not be read and was set aside in \u201C%1\u201D; "
                                "the rest of the history is shown.")
                     .arg(where)
               : QStringLiteral(
                     "%1 reports could not be read and were set aside in \u201C%2\u201D; "
                     "the rest of the history is shown.")
                     .arg(count)
                     .arg(where);
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
        bytes = fs::readWholeFile(primary);
    } catch (const fs::FileIoError& error) {
        return failure(error.description());
    }
    DecodedHistory history = decodeHistory(bytes);
    switch (history.state) {
    case DecodedHistory::State::decoded:
        if (history.undecodable > 0) {
            return setAsideUndecodable(folder, bytes, std::move(history));
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
    return recoverDamagedPrimary(folder, bytes);
}

ReportStore::LoadResult ReportStore::restoreMissingPrimary(const QString& folder) const {
    const QDir dir(folder);
    if (!exists(dir.filePath(backupName))) {
        return {{}, std::nullopt, true};
    }
    std::optional<ReadHistory> backup = readGoodHistory(dir.filePath(backupName));
    if (!backup) {
        return failure(noticeFor(ReportStoreError::Kind::corruptStore));
    }
    writeIgnoringFailure(dir.filePath(primaryName), backup->bytes);
    hydrateIcons(backup->reports, folder, memory_->icons);
    return {std::move(backup->reports), restoredMissingNotice, true};
}

ReportStore::LoadResult ReportStore::recoverDamagedPrimary(const QString& folder,
                                                           const QByteArray& damaged) const {
    const QDir dir(folder);
    std::optional<ReadHistory> backup = readGoodHistory(dir.filePath(backupName));
    if (!backup) {
        return failure(noticeFor(ReportStoreError::Kind::corruptStore));
    }
    hydrateIcons(backup->reports, folder, memory_->icons);
    // The damaged bytes are replaced only once a copy of them is safely on disk.
    if (!setAside(folder, damaged)) {
        return {std::move(backup->reports),
                noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore), false};
    }
    writeIgnoringFailure(dir.filePath(primaryName), backup->bytes);
    return {std::move(backup->reports), restoredDamagedNotice, true};
}

// The history's reports that decode, once the file that holds the others too is set aside byte for
// byte; reports.json then holds the readable ones alone, so that saving can go on.
ReportStore::LoadResult ReportStore::setAsideUndecodable(const QString& folder,
                                                         const QByteArray& bytes,
                                                         DecodedHistory history) const {
    const std::optional<QString> aside = setAside(folder, bytes);
    hydrateIcons(history.reports, folder, memory_->icons);
    if (!aside) {
        return {std::move(history.reports),
                noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore), false};
    }
    // Encoded before icons were filled in, so the icons stay in their files.
    std::vector<ScanReport> stored = history.reports;
    for (ScanReport& report : stored) {
        report.metadata.iconPNG.reset();
    }
    const QByteArray readable = encodeHistory(stored);
    const QString primary = QDir(folder).filePath(primaryName);
    // The bytes are safe in the set-aside file, so a failed rewrite still allows saving.
    memory_->primary.emplace(writeIgnoringFailure(primary, readable) ? readable : bytes);
    return {std::move(history.reports), setAsideNotice(history.undecodable, *aside), true};
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
        const QByteArray previous = fs::readWholeFile(primary);
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
