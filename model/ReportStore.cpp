#include "model/ReportStore.h"

#include "model/HistoryLock.h"
#include "model/ReportHistoryCoding.h"
#include "model/ReportIconFiles.h"
#include "model/ReportStoreError.h"
#include "model/ReportStoreNotices.h"
#include "model/SetAsideReportIds.h"
#include "platform/fs/AtomicFile.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/ReadWholeFile.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <cerrno>
#include <filesystem>
#include <future>
#include <mutex>

namespace bw {

// A history file as a load found it.
struct HistoryFile {
    enum class State { absent, unreadable, read };
    QString path;
    State state;
    QByteArray bytes;                   // read
    QString readError;                  // unreadable: why, in the user's words
    QString damage = {};                // read, but it does not decode: why, in the user's words
    std::size_t undecodableReports = 0; // read and decoded, but for these reports

    bool present() const { return state != State::absent; }

    // Why what it holds cannot be used, naming the file; empty when nothing says it cannot.
    QString whyUnusable() const {
        if (state == State::unreadable) {
            return readError;
        }
        if (!damage.isEmpty()) {
            return fs::FileIoError(fs::FileIoError::Operation::read, path, EINVAL, damage)
                .description();
        }
        return undecodableReports > 0 ? store_notices::reportsUnreadable(path, undecodableReports)
                                      : readError;
    }
};

// What the backup offers when the primary file cannot be used.
struct Backup {
    enum class State {
        readable, // `reports` holds what decodes, all of the history unless `undecodable`
        absent,
        unreadable, // see `file.readError`
        damaged,    // nothing in it decodes
        newer       // another version's history
    };
    State state;
    HistoryFile file;
    std::vector<ScanReport> reports;
    std::size_t undecodable = 0;
};

// Where a file was set aside, or why it could not be.
struct Aside {
    std::optional<QString> path;
    QString failure; // when `path` is absent: why the file cannot be used, and why it stays
};

namespace {

const QString primaryName = QStringLiteral("reports.json");
const QString backupName = QStringLiteral("reports.backup.json");
// Far more damaged histories than one second can produce.
constexpr int maxSetAsideAttempts = 100;
// Ten times a history of 1,000 reports with every icon inside the JSON (about 25 MB; with the
// icons in their own files it is about 9 MB): a larger file is no history of ours, and is set
// aside unread instead of filling the memory.
constexpr qint64 maxHistoryBytes = qint64(256) << 20;

const QString restoredMissingNotice = QStringLiteral(
    "The primary report history was missing and was restored from its last good backup.");
const QString restoredDamagedNotice =
    QStringLiteral("The report history was damaged and restored from its last good backup. The "
                   "unreadable file was preserved for support.");

QString noticeFor(ReportStoreError::Kind kind) {
    return ReportStoreError(kind).description();
}

// Nothing to show, and saving is off: `refusal` says why, `notice` what happened.
ReportStore::LoadResult failure(std::optional<QString> notice, const QString& refusal) {
    return {{}, std::move(notice), false, refusal};
}

// The same when what happened is why.
ReportStore::LoadResult failure(const QString& why) {
    return failure(why, why);
}

// Saving is off because a file that cannot be read could not be set aside either.
QString keptInPlace(const Aside& aside) {
    return noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore) + u' ' +
           aside.failure;
}

// Saving is off because the file at `path` holds another version's history.
QString newerRefusal(const QString& path) {
    return QStringLiteral(
               "\u201C%1\u201D holds the report history of a newer version of Berthwatch, "
               "which this version does not save over.")
        .arg(QDir::toNativeSeparators(path));
}

// A history file's bytes; anything but a regular file of a history's size is refused. A link is
// followed, as a dotfile manager keeps the file itself elsewhere.
QByteArray readHistoryBytes(const QString& path) {
    return fs::readRegularFile(path, maxHistoryBytes, fs::Links::follow).bytes;
}

HistoryFile readHistoryFile(const QString& path) {
    try {
        return {path, HistoryFile::State::read, readHistoryBytes(path), {}};
    } catch (const fs::FileIoError& error) {
        // A link to nothing stands in the file's place all the same: it is set aside, never
        // replaced.
        return error.errorNumber() == ENOENT && !fs::exists(path)
                   ? HistoryFile{path, HistoryFile::State::absent, {}, {}}
                   : HistoryFile{path, HistoryFile::State::unreadable, {}, error.description()};
    }
}

// Bytes that may be replaced without a load having set any of them aside first.
bool decodesWhole(const QByteArray& bytes) {
    const DecodedHistory history = decodeHistory(bytes);
    return history.state == DecodedHistory::State::decoded && history.undecodable.empty();
}

Backup readBackup(const QString& path) {
    HistoryFile file = readHistoryFile(path);
    switch (file.state) {
    case HistoryFile::State::absent:
        return {Backup::State::absent, std::move(file), {}};
    case HistoryFile::State::unreadable:
        return {Backup::State::unreadable, std::move(file), {}};
    case HistoryFile::State::read:
        break;
    }
    DecodedHistory history = decodeHistory(file.bytes);
    if (history.state == DecodedHistory::State::newer) {
        return {Backup::State::newer, std::move(file), {}};
    }
    if (history.state != DecodedHistory::State::decoded) {
        file.damage = std::move(history.damage);
        return {Backup::State::damaged, std::move(file), {}};
    }
    if (!history.undecodable.empty()) {
        file.undecodableReports = history.undecodable.size();
        // A history whose every report fails offers nothing to show.
        if (history.reports.empty()) {
            return {Backup::State::damaged, std::move(file), {}};
        }
    }
    return {Backup::State::readable, std::move(file), std::move(history.reports),
            history.undecodable.size()};
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
        backup = decodeHistory(readHistoryBytes(backupPath));
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
    SetAsideReportIds setAside{maxHistoryBytes};
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
        throw ReportStoreError::folderUnavailable(folder, QString::fromStdString(error.message()));
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
    QString unwritable;
    try {
        historyLock.emplace(folder);
        removeStaleTemporaryFiles(folder);
    } catch (const HistoryLock::Unwritable& error) {
        // Where no lock can be made, no other process writes either: the history is shown, and
        // the user told at once why saving will fail until the folder takes files again.
        unwritable = error.description();
    } catch (const fs::FileIoError& error) {
        // The same where something that is no file stands in the lock's place.
        unwritable = error.description();
    } catch (const ReportStoreError& error) {
        return failure(error.description());
    }
    LoadResult result = readHistory(folder);
    result.notice = store_notices::joined({result.notice.value_or(QString()), unwritable});
    return result;
}

// The history in `folder`, set aside and repaired as far as it must be.
ReportStore::LoadResult ReportStore::readHistory(const QString& folder) const {
    const QString primaryPath = QDir(folder).filePath(primaryName);
    if (!fs::exists(primaryPath)) {
        return recover(folder, {primaryPath, HistoryFile::State::absent, {}, {}}, {});
    }
    // The icon files are read while the history is read and decoded.
    std::future<IconFiles> icons = std::async(std::launch::async, readIconFiles, folder);
    HistoryFile primary = readHistoryFile(primaryPath);
    if (primary.state != HistoryFile::State::read) {
        return recover(folder, primary, icons.get());
    }
    DecodedHistory history = decodeHistory(primary.bytes);
    switch (history.state) {
    case DecodedHistory::State::decoded:
        if (!history.undecodable.empty()) {
            return setAsideUndecodable(folder, primary.bytes, std::move(history), icons.get());
        }
        memory_->primary.emplace(primary.bytes);
        hydrateIcons(history.reports, folder, memory_->icons, icons.get());
        return {std::move(history.reports), store_notices::joined({moveBackupOutOfTheWay(folder)}),
                true};
    case DecodedHistory::State::newer:
        // Another version's history: an older backup must not take its place.
        return failure(noticeFor(ReportStoreError::Kind::unsupportedSchema),
                       newerRefusal(primaryPath));
    case DecodedHistory::State::damaged:
        primary.damage = std::move(history.damage);
        break;
    }
    return recover(folder, primary, icons.get());
}

// `primary` is absent, unreadable or does not decode; `icons` are the folder's icon files, as read
// beside it. Whatever of the two files cannot be read is set aside, and the backup's readable
// reports, if any, become the history.
ReportStore::LoadResult ReportStore::recover(const QString& folder, const HistoryFile& primary,
                                             const IconFiles& icons) const {
    Backup backup = readBackup(QDir(folder).filePath(backupName));
    const QString causes =
        store_notices::joined({primary.readError, backup.file.readError}).value_or(QString());
    switch (backup.state) {
    case Backup::State::newer:
        // Another version's history is never written over.
        return failure(
            store_notices::joined({noticeFor(ReportStoreError::Kind::corruptStore), causes}),
            newerRefusal(backup.file.path));
    case Backup::State::absent:
        if (primary.state == HistoryFile::State::absent) {
            return {{}, std::nullopt, true};
        }
        [[fallthrough]];
    case Backup::State::unreadable:
    case Backup::State::damaged:
        return startOver(folder, primary, backup.file, causes);
    case Backup::State::readable:
        break;
    }
    if (backup.undecodable > 0) {
        return restorePartly(folder, primary, backup, icons, causes);
    }
    hydrateIcons(backup.reports, folder, memory_->icons, icons);
    const QString primaryPath = QDir(folder).filePath(primaryName);
    if (primary.state == HistoryFile::State::absent) {
        writeIgnoringFailure(primaryPath, backup.file.bytes);
        return {std::move(backup.reports), restoredMissingNotice, true};
    }
    // What the backup replaces is set aside first.
    const Aside aside = setAside(folder, primary);
    if (!aside.path) {
        return {std::move(backup.reports),
                store_notices::joined(
                    {noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore),
                     primary.whyUnusable()}),
                false, keptInPlace(aside)};
    }
    writeIgnoringFailure(primaryPath, backup.file.bytes);
    return {std::move(backup.reports),
            primary.state == HistoryFile::State::read
                ? restoredDamagedNotice
                : store_notices::joined({store_notices::restoredUnreadable(*aside.path), causes}),
            true};
}

// Nothing of either file can be shown: both are set aside, and an empty history takes their place,
// so that scans are saved again. Until everything is set aside nothing is replaced.
ReportStore::LoadResult ReportStore::startOver(const QString& folder, const HistoryFile& primary,
                                               const HistoryFile& backup,
                                               const QString& causes) const {
    Aside primaryAside;
    Aside backupAside;
    const auto refused = [&](const Aside& aside) {
        return failure(store_notices::joined({noticeFor(ReportStoreError::Kind::corruptStore),
                                              primary.whyUnusable(), backup.whyUnusable()}),
                       keptInPlace(aside));
    };
    if (primary.present() && !(primaryAside = setAside(folder, primary)).path) {
        return refused(primaryAside);
    }
    if (backup.present() && !(backupAside = setAside(folder, backup)).path) {
        return refused(backupAside);
    }
    const QByteArray empty = encodeHistory({});
    replaceBoth(folder, primary, empty, backup.present());
    return {{},
            store_notices::joined(
                {store_notices::startedOver(primaryAside.path, backupAside.path), causes}),
            true};
}

// The backup decodes, but some of its reports do not: as with such a primary file, the files are
// set aside and the readable reports become the history.
ReportStore::LoadResult ReportStore::restorePartly(const QString& folder,
                                                   const HistoryFile& primary, Backup& backup,
                                                   const IconFiles& icons,
                                                   const QString& causes) const {
    Aside primaryAside;
    Aside backupAside;
    const bool primaryAsideOrAbsent =
        !primary.present() || (primaryAside = setAside(folder, primary)).path;
    const bool setAsideAll =
        primaryAsideOrAbsent && (backupAside = setAside(folder, backup.file)).path;
    // Encoded before icons are filled in, so that the icons stay in their files and an icon
    // kept inline stays inline.
    const QByteArray readable = setAsideAll ? encodeHistory(backup.reports) : QByteArray();
    hydrateIcons(backup.reports, folder, memory_->icons, icons);
    if (!setAsideAll) {
        return {std::move(backup.reports),
                store_notices::joined(
                    {noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore),
                     primary.whyUnusable(), backup.file.whyUnusable()}),
                false, keptInPlace(primaryAsideOrAbsent ? backupAside : primaryAside)};
    }
    replaceBoth(folder, primary, readable, true);
    return {std::move(backup.reports),
            store_notices::joined({store_notices::restoredPartly(
                                       primaryAside.path, *backupAside.path, backup.undecodable),
                                   causes}),
            true};
}

// Writes `bytes` in place of the primary file and, when `backupToo`, of the backup; a failed write
// is left to the next save. Only called once whatever they replace is set aside.
void ReportStore::replaceBoth(const QString& folder, const HistoryFile& primary,
                              const QByteArray& bytes, bool backupToo) const {
    const QDir dir(folder);
    const bool written = writeIgnoringFailure(dir.filePath(primaryName), bytes);
    if (backupToo) {
        writeIgnoringFailure(dir.filePath(backupName), bytes);
    }
    // The old bytes are safe in their set-aside file, so a failed write still allows saving over
    // them.
    if (written || primary.state == HistoryFile::State::read) {
        memory_->primary.emplace(written ? bytes : primary.bytes);
    }
}

// The history's reports that decode, once the file that holds the others too is set aside byte for
// byte; reports.json then holds the readable ones alone, so that saving can go on.
ReportStore::LoadResult ReportStore::setAsideUndecodable(const QString& folder,
                                                         const QByteArray& bytes,
                                                         DecodedHistory history,
                                                         const IconFiles& icons) const {
    const HistoryFile file{
        QDir(folder).filePath(primaryName), HistoryFile::State::read, bytes, {}, {},
        history.undecodable.size()};
    const Aside aside = setAside(folder, file);
    if (!aside.path) {
        hydrateIcons(history.reports, folder, memory_->icons, icons);
        return {std::move(history.reports),
                store_notices::joined(
                    {noticeFor(ReportStoreError::Kind::refusingToOverwriteCorruptStore),
                     file.whyUnusable()}),
                false, keptInPlace(aside)};
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
            store_notices::joined(
                {store_notices::setAside(history.undecodable.size(), restored, *aside.path),
                 moveBackupOutOfTheWay(folder)}),
            true};
}

// A folder in the backup's place would fail every save, which replaces the backup: it is moved
// aside, whatever it holds. Gives what to tell the user, or nothing.
QString ReportStore::moveBackupOutOfTheWay(const QString& folder) const {
    const QString path = QDir(folder).filePath(backupName);
    if (!fs::isFolder(path)) {
        return {};
    }
    const QString cause =
        fs::FileIoError(fs::FileIoError::Operation::read, path, EISDIR).description();
    const Aside aside = setAside(folder, {path, HistoryFile::State::unreadable, {}, cause});
    return aside.path ? store_notices::backupMovedAside(*aside.path) + u' ' + cause : cause;
}

// Keeps what `file` holds as reports.corrupt-<seconds>.json, or -2, -3, … when that name is taken,
// never replacing an earlier preserved file, and gives the path it went to: bytes that were read
// are copied there, and what could not be read is moved there as it is. Gives up after a bounded
// number of names, or at the first failure of another kind, saying why of the file the user has:
// the names tried were never made.
Aside ReportStore::setAside(const QString& folder, const HistoryFile& file) const {
    const QString stem = QStringLiteral("reports.corrupt-%1").arg(clock_().toSecsSinceEpoch());
    const auto nameOf = [&](int attempt) {
        return stem + (attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt)) +
               QStringLiteral(".json");
    };
    // Every name taken, unless another failure comes first.
    QString reason = QStringLiteral("Every name from \u201C%1\u201D to \u201C%2\u201D is taken")
                         .arg(nameOf(1), nameOf(maxSetAsideAttempts));
    for (int attempt = 1; attempt <= maxSetAsideAttempts; ++attempt) {
        const QString path = QDir(folder).filePath(nameOf(attempt));
        try {
            file.state == HistoryFile::State::read
                ? fs::writeFileAtomically(path, file.bytes, fs::Replace::never)
                : fs::moveWithoutReplacing(file.path, path);
            return {path, {}};
        } catch (const fs::FileIoError& error) {
            if (error.errorNumber() != EEXIST) {
                reason = error.reason();
                break;
            }
        }
    }
    return {std::nullopt,
            file.whyUnusable() + QStringLiteral(" It could not be set aside: %1.").arg(reason)};
}

void ReportStore::save(const std::vector<ScanReport>& reports) const {
    const std::lock_guard lock(memory_->mutex);
    const QString folder = reportsDirectory();
    const HistoryLock historyLock(folder);
    removeStaleTemporaryFiles(folder);
    const QDir dir(folder);
    const QString primary = dir.filePath(primaryName);
    const QString backup = dir.filePath(backupName);
    if (fs::exists(primary)) {
        const QByteArray previous = readHistoryBytes(primary);
        // Bytes this store decoded or wrote itself need no second look.
        if (memory_->primary != Fingerprint(previous) && !decodesWhole(previous)) {
            throw ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore);
        }
        fs::writeFileAtomically(backup, previous);
    }
    const QByteArray bytes = encodeHistory(externalizeIcons(reports, folder, memory_->icons));
    fs::writeFileAtomically(primary, bytes);
    memory_->primary.emplace(bytes);
    if (!fs::exists(backup)) {
        writeIgnoringFailure(backup, bytes);
    }
    QSet<QUuid> keeping;
    for (const ScanReport& report : reports) {
        keeping.insert(report.id);
    }
    pruneIcons(keeping, folder, [&] { return memory_->setAside.in(folder); });
}

} // namespace bw
