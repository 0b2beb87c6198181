#pragma once

#include "model/ReportHistoryCoding.h"
#include "model/ReportIconFiles.h"
#include "model/ScanReport.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace bw {

// A history file as a load found it, what its backup offers, and where a file was set aside
// (ReportStore.cpp).
struct HistoryFile;
struct Backup;
struct Aside;

// The report history on disk: reports.json (the envelope), reports.backup.json (the previous
// good generation, byte for byte) and ReportIcons/<UUID>.png. Loading recovers from a missing or
// damaged primary file from the backup, sets reports that do not decode aside with the file that
// holds them (showing the backup's copy of each where it has one, or the backup's readable reports
// when the primary has none), and when neither file has a readable report sets both aside and
// starts a new history; no unreadable bytes are ever overwritten or deleted. Only regular files of
// a bounded size are read, through a link too: a folder, a pipe, a device, a larger file or a link
// to one of them or to nothing in a history file's place is moved aside as it is, unread. An icon
// stays as long as a set-aside file names its report, so that what was set aside can be brought
// back whole; every icon stays while a set-aside file cannot be read for the reports it names.
// A store remembers what it last read and wrote, so that saving again rereads and decodes only
// what changed on disk since; its copies share that memory, and any thread may call it.
class ReportStore {
public:
    using Clock = std::function<QDateTime()>;

    struct LoadResult {
        std::vector<ScanReport> reports;
        std::optional<QString> notice;
        bool canPersist;
        // While saving is off: why, naming the folder or file and the system's reason.
        QString refusal = {};
    };

    // Without a folder, the history lives in "Berthwatch" in the user's data folder. The clock
    // names the files that damaged histories are set aside in.
    explicit ReportStore(std::optional<QString> baseDirectory = std::nullopt,
                         Clock clock = &QDateTime::currentDateTimeUtc);

    // Never throws: every failure becomes a notice, with canPersist false when the history on
    // disk must not be overwritten.
    LoadResult load() const;

    // Writes the complete history. Throws ReportStoreError (directoryUnavailable,
    // refusingToOverwriteCorruptStore), fs::FileIoError for a failed read or write, and
    // json::EncodeError for a report that JSON cannot hold.
    void save(const std::vector<ScanReport>& reports) const;

    // The folder the history lives in, without creating it; empty when the user has no data
    // folder.
    QString location() const;

private:
    QString reportsDirectory() const;
    LoadResult readHistory(const QString& folder) const;
    LoadResult recover(const QString& folder, const HistoryFile& primary,
                       const IconFiles& icons) const;
    LoadResult startOver(const QString& folder, const HistoryFile& primary,
                         const HistoryFile& backup, const QString& causes) const;
    LoadResult restorePartly(const QString& folder, const HistoryFile& primary, Backup& backup,
                             const IconFiles& icons, const QString& causes) const;
    void replaceBoth(const QString& folder, const HistoryFile& primary, const QByteArray& bytes,
                     bool backupToo) const;
    LoadResult setAsideUndecodable(const QString& folder, const QByteArray& bytes,
                                   DecodedHistory history, const IconFiles& icons) const;
    QString moveBackupOutOfTheWay(const QString& folder) const;
    Aside setAside(const QString& folder, const HistoryFile& file) const;

    struct Fingerprint;
    struct Memory;

    std::optional<QString> baseDirectory_;
    Clock clock_;
    std::shared_ptr<Memory> memory_;
};

} // namespace bw
