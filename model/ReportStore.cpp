#include "model/ReportStore.h"

#include "model/HistoryLock.h"
#include "model/ReportHistoryCoding.h"
#include "model/ReportIconFiles.h"
#include "model/ReportStoreError.h"
#include "platform/fs/AtomicFile.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <cerrno>
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
    if (history.state != DecodedHistory::State::decoded) {
        return std::nullopt;
    }
    return ReadHistory{std::move(bytes), std::move(history.reports)};
}

void writeIgnoringFailure(const QString& path, const QByteArray& bytes) {
    try {
        fs::writeFileAtomically(path, bytes);
    } catch (const fs::FileIoError&) {
        // Best effort: what was read stays valid, and the next save writes the file again.
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
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        throw ReportStoreError(ReportStoreError::Kind::directoryUnavailable);
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
    const QString primary = QDir(folder).filePath(primaryName);
    if (!exists(primary)) {
        return restoreMissingPrimary(folder);
    }
    QByteArray bytes;
    try {
        bytes = fs::readWholeFile(primary);
    } catch (const fs::FileIoError& error) {
        return failure(error.description());
    }
    DecodedHistory history = decodeHistory(bytes);
    switch (history.state) {
    case DecodedHistory::State::decoded:
        memory_->primary.emplace(bytes);
        hydrateIcons(history.reports, folder, memory_->icons);
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

// Writes the damaged bytes to reports.corrupt-<seconds>.json, or -2, -3, … when that name is
// taken, never replacing an earlier preserved file. Gives up after a bounded number of names.
bool ReportStore::setAside(const QString& folder, const QByteArray& damaged) const {
    const QString stem = QStringLiteral("reports.corrupt-%1").arg(clock_().toSecsSinceEpoch());
    for (int attempt = 1; attempt <= maxSetAsideAttempts; ++attempt) {
        const QString suffix = attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt);
        const QString path = QDir(folder).filePath(stem + suffix + QStringLiteral(".json"));
        try {
            fs::writeFileAtomically(path, damaged, fs::Replace::never);
            return true;
        } catch (const fs::FileIoError& error) {
            if (error.errorNumber() != EEXIST) {
                return false;
            }
        }
    }
    return false;
}

void ReportStore::save(const std::vector<ScanReport>& reports) const {
    const std::lock_guard lock(memory_->mutex);
    const QString folder = reportsDirectory();
    const HistoryLock historyLock(folder);
    const QDir dir(folder);
    const QString primary = dir.filePath(primaryName);
    const QString backup = dir.filePath(backupName);
    if (exists(primary)) {
        const QByteArray previous = fs::readWholeFile(primary);
        // Bytes this store decoded or wrote itself need no second look.
        if (memory_->primary != Fingerprint(previous) &&
            decodeHistory(previous).state != DecodedHistory::State::decoded) {
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
