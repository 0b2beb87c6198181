#include "model/ReportHistoryCoding.h"
#include "model/ReportJson.h"
#include "model/ReportStore.h"
#include "model/ReportStoreError.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/json/JsonValues.h"
#include "platform/json/JsonWriter.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"
#include "tests/support/Thrown.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace bw;
using bw::test::sampleHistory;
using bw::test::snapshotFolder;
using bw::test::writeFile;
using Files = std::map<QString, QByteArray>;

namespace {

const QString missingNotice = QStringLiteral(
    "The primary report history was missing and was restored from its last good backup.");
const QString damagedNotice =
    QStringLiteral("The report history was damaged and restored from its last good backup. The "
                   "unreadable file was preserved for support.");
QString noticeOf(ReportStoreError::Kind kind) {
    return ReportStoreError(kind).description();
}
const QString corruptNotice = noticeOf(ReportStoreError::Kind::corruptStore);
const QString newerNotice = noticeOf(ReportStoreError::Kind::unsupportedSchema);
const QString refusingNotice = noticeOf(ReportStoreError::Kind::refusingToOverwriteCorruptStore);

// A clock 0.9 s into a second: the file name must cut the fraction off.
QDateTime fixedNow() {
    return QDateTime::fromMSecsSinceEpoch(1785000000900LL, QTimeZone::utc());
}
const QString corruptName = QStringLiteral("reports.corrupt-1785000000.json");

ReportStore storeIn(const QString& folder) {
    return ReportStore(folder, fixedNow);
}

// Histories are stored without icons; report 0's icon lies in ReportIcons for every case.
const QByteArray fileIcon = "\x89PNG file icon";
const QString iconFile = bw::test::iconFileName(bw::test::sampleReport(0));

std::vector<ScanReport> withFileIcon(int count) {
    std::vector<ScanReport> reports = sampleHistory(count, false);
    reports[0].metadata.iconPNG = fileIcon;
    return reports;
}

QByteArray envelope(int count) {
    return encodeHistory(sampleHistory(count, false));
}

// The history as older versions stored it: the envelope's array alone.
QByteArray legacyArray(int count) {
    const QJsonObject stored = QJsonDocument::fromJson(envelope(count)).object();
    return json::write(stored.value(u"reports").toArray(), json::Layout::compact);
}

// Marks a file that exists but cannot be read: a folder stands in its place.
const QByteArray unreadable = "<folder>";

void place(const QDir& folder, const QString& name, const std::optional<QByteArray>& bytes) {
    if (bytes) {
        *bytes == unreadable ? void(folder.mkpath(name + "/inside"))
                             : writeFile(folder.filePath(name), *bytes);
    }
}

using Outcome = ReportStore::LoadResult;

void expectOutcome(const Outcome& result, const Outcome& expected, const char* name) {
    EXPECT_EQ(result.reports, expected.reports) << name;
    EXPECT_EQ(result.notice, expected.notice) << name;
    EXPECT_EQ(result.canPersist, expected.canPersist) << name;
    EXPECT_EQ(result.refusal, expected.refusal) << name;
}

// Runs `action` in bounded time: a read that blocks on a pipe or never ends at a device fails
// the test instead of hanging it.
template <typename Action> auto inBoundedTime(Action action) {
    auto future = std::async(std::launch::async, std::move(action));
    if (future.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "still reading after 10 s";
        std::fflush(stdout);
        std::_Exit(1);
    }
    return future.get();
}

QString cannotRead(const QString& name, const QString& reason) {
    return QString::fromUtf8("The file “%1” could not be read: %2.").arg(name, reason);
}

// Something that is no history file, made at a path; it gives the reason the store will name.
struct Obstacle {
    const char* name;
    std::function<QString(const QString&)> make;
};

// A file of `size` bytes that takes no room on disk until something copies it.
std::function<QString(const QString&)> sparseFile(qint64 size) {
    return [size](const QString& path) {
        writeFile(path, "{\"reports\": [");
        EXPECT_EQ(::truncate(QFile::encodeName(path).constData(), size), 0);
        return QStringLiteral("File too large");
    };
}

const Obstacle obstacles[] = {
    {"device",
     [](const QString& path) {
         const QByteArray name = QFile::encodeName(path);
         if (::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
             return QStringLiteral("It is a device, not a regular file");
         }
         // Not allowed to make a device: a link to one is refused for what it leads to.
         EXPECT_EQ(::symlink("/dev/null", name.constData()), 0);
         return QStringLiteral("It is a device, not a regular file");
     }},
    {"link to a pipe",
     [](const QString& path) {
         EXPECT_EQ(::mkfifo(QFile::encodeName(path + ".pipe").constData(), 0600), 0);
         EXPECT_TRUE(QFile::link(path + ".pipe", path));
         return QStringLiteral("It is a pipe, not a regular file");
     }},
    {"link to nothing",
     [](const QString& path) {
         EXPECT_TRUE(QFile::link(path + ".gone", path));
         return QStringLiteral("No such file or directory");
     }},
    {"pipe",
     [](const QString& path) {
         EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
         return QStringLiteral("It is a pipe, not a regular file");
     }},
    {"folder",
     [](const QString& path) {
         QDir().mkpath(path + "/inside");
         return QStringLiteral("Is a directory");
     }},
    {"2 GB file", sparseFile(qint64(2) << 30)},
    // Below the bound a history had, of 1 GiB, far beyond any real history.
    {"1000 MB file", sparseFile(qint64(1000) << 20)},
};

} // namespace

TEST(ReportStoreLoad, EveryOutcomeWithTheFilesAfterwards) {
    const QByteArray damagedJson = "{\"reports\": [tru";
    const QByteArray primaryBytes = envelope(2);
    const QByteArray backupBytes = envelope(1);
    struct Case {
        const char* name;
        std::optional<QByteArray> primary; // absent when empty
        std::optional<QByteArray> backup;
        Outcome outcome;
        Files written; // entries expected to differ afterwards
    };
    const Outcome restored{withFileIcon(1), damagedNotice, true};
    const Outcome recovered{withFileIcon(1), missingNotice, true};
    const Outcome two{withFileIcon(2), std::nullopt, true};
    const Outcome none{{}, std::nullopt, true};
    // Another version's file is named as the reason nothing is saved.
    const QString newerRefusal = QString::fromUtf8("“%1/%2” holds the report history of a newer "
                                                   "version of Berthwatch, which this version "
                                                   "does not save over.");
    const Outcome lost{{}, corruptNotice, false, newerRefusal.arg("%1", "reports.backup.json")};
    const QString backupName = QString::fromUtf8("“%1/reports.corrupt-1785000000-2.json”");
    const QString primaryName = QString::fromUtf8("“%1/") + corruptName + QString::fromUtf8("”");
    const Outcome startedOver{{},
                              "The report history and its backup could not be read and were set "
                              "aside in " +
                                  primaryName + " and " + backupName +
                                  "; a new history was started.",
                              true};
    const Outcome movedAndRestored{
        withFileIcon(1),
        "The report history could not be read and was restored from its last good backup; the "
        "unreadable file was set aside in " +
            primaryName +
            QString::fromUtf8(". The file “reports.json” could not be read: Is a "
                              "directory."),
        true};
    const Outcome startedWithoutBackup{
        {},
        "The report history could not be read and has no backup; it was set aside in " +
            primaryName + " and a new history was started.",
        true};
    const Outcome startedWithoutPrimary{
        {},
        "The report history was missing and its backup could not be read; the backup was set "
        "aside in " +
            primaryName + " and a new history was started.",
        true};
    const QByteArray emptyHistory = encodeHistory({});
    const QByteArray newer = R"({"reports": [], "schemaVersion": 2})";
    const auto nothing = std::nullopt;
    const QByteArray sampleIcons = encodeHistory(sampleHistory(2));
    const Case cases[] = {
        {"new history", nothing, nothing, none, {}},
        {"missing primary, good backup",
         nothing,
         backupBytes,
         recovered,
         {{"reports.json", backupBytes}}},
        {"missing primary, damaged backup",
         nothing,
         damagedJson,
         startedWithoutPrimary,
         {{corruptName, damagedJson},
          {"reports.json", emptyHistory},
          {"reports.backup.json", emptyHistory}}},
        {"missing primary, newer backup", nothing, newer, lost, {}},
        {"newer primary, good backup",
         newer,
         backupBytes,
         {{}, newerNotice, false, newerRefusal.arg("%1", "reports.json")},
         {}},
        // What cannot be read at all is moved aside as it is.
        {"unreadable primary",
         unreadable,
         backupBytes,
         movedAndRestored,
         {{corruptName, "/"}, {corruptName + "/inside", "/"}, {"reports.json", backupBytes}}},
        {"good primary, damaged backup", primaryBytes, damagedJson, two, {}},
        {"legacy primary", legacyArray(2), nothing, two, {}},
        // An icon inside the JSON wins over the file that holds report 0's icon in every case.
        {"primary holding its icons", sampleIcons, nothing, {sampleHistory(2), {}, true}, {}},
        {"empty legacy primary", "[]", backupBytes, none, {}},
        {"damaged primary, good backup",
         damagedJson,
         backupBytes,
         restored,
         {{corruptName, damagedJson}, {"reports.json", backupBytes}}},
        {"damaged primary, no backup",
         damagedJson,
         nothing,
         startedWithoutBackup,
         {{corruptName, damagedJson}, {"reports.json", emptyHistory}}},
        {"damaged primary, damaged backup",
         damagedJson,
         "[{}]",
         startedOver,
         {{corruptName, damagedJson},
          {"reports.corrupt-1785000000-2.json", "[{}]"},
          {"reports.json", emptyHistory},
          {"reports.backup.json", emptyHistory}}},
        // Another version's backup, and one whose bytes cannot be set aside, stay as they are.
        {"damaged primary, newer backup", damagedJson, newer, lost, {}},
        {"damaged primary, unreadable backup",
         damagedJson,
         unreadable,
         {{},
          startedOver.notice.value() +
              QString::fromUtf8(" The file “reports.backup.json” could not "
                                "be read: Is a directory."),
          true},
         {{corruptName, damagedJson},
          {"reports.corrupt-1785000000-2.json", "/"},
          {"reports.corrupt-1785000000-2.json/inside", "/"},
          {"reports.json", emptyHistory},
          {"reports.backup.json", emptyHistory}}},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder root;
        root.write("history/" + iconFile, fileIcon);
        const QDir folder(root.filePath("history"));
        place(folder, "reports.json", c.primary);
        place(folder, "reports.backup.json", c.backup);
        Files expected = snapshotFolder(folder.path());
        for (const auto& [name, bytes] : c.written) {
            // A file written where a folder stood: the folder went aside with all inside it.
            std::erase_if(expected, [&](const auto& entry) {
                return bytes != "/" && entry.first.startsWith(name + "/");
            });
            expected[name] = bytes;
        }

        Outcome outcome = c.outcome;
        if (outcome.notice) {
            outcome.notice->replace("%1", folder.path());
        }
        outcome.refusal.replace("%1", folder.path());
        const ReportStore store = storeIn(folder.path());
        expectOutcome(store.load(), outcome, c.name);
        EXPECT_EQ(snapshotFolder(folder.path()), expected) << c.name;
        // What may be saved over is saved, and read back.
        if (outcome.canPersist) {
            store.save(withFileIcon(3));
            EXPECT_EQ(storeIn(folder.path()).load().reports, withFileIcon(3)) << c.name;
        }
    }
}

// Only version 1 is ours. A higher one belongs to a newer Berthwatch, even with reports we cannot
// read (the store leaves it alone); any other version is damage.
TEST(ReportStoreLoad, SchemaVersions) {
    const QByteArray reports =
        json::write(QJsonArray{toJson(bw::test::sampleReport(3, false))}, json::Layout::compact);
    const std::tuple<QByteArray, QByteArray, DecodedHistory::State> cases[] = {
        {"2", reports, DecodedHistory::State::newer},
        {"2", R"([{"future": true}])", DecodedHistory::State::newer},
        {"0", reports, DecodedHistory::State::damaged},
        {"1.5", reports, DecodedHistory::State::damaged},
        {R"("1")", reports, DecodedHistory::State::damaged},
        {"1e300", reports, DecodedHistory::State::damaged},
    };
    for (const auto& [version, body, state] : cases) {
        const QByteArray primary =
            R"({"reports": )" + body + R"(, "schemaVersion": )" + version + "}";
        EXPECT_EQ(decodeHistory(primary).state, state) << primary.constData();
    }
}

TEST(ReportStoreLoad, AFolderThatCannotBePreparedChangesNothing) {
    bw::test::TestFolder root;
    writeFile(root.filePath("file"), "a regular file");
    const Files before = snapshotFolder(root.path());
    const QString unavailable = "The Berthwatch reports folder \u201C" +
                                root.filePath("file/history") +
                                "\u201D could not be prepared: Not a directory.";
    expectOutcome(storeIn(root.filePath("file/history")).load(),
                  {{}, unavailable, false, unavailable}, "file/history");
    EXPECT_EQ(snapshotFolder(root.path()), before);
}

// The damaged bytes must be safely aside before reports.json is replaced. When they cannot be
// written (beyond the file size limit, or with every set-aside name taken, so that the name search
// ends), every file stays, and the backup's reports, if any, come back without permission to save.
TEST(ReportStoreLoad, DamagedBytesThatCannotBeSetAsideAreNotOverwritten) {
    const QByteArray damaged = "[" + QByteArray(200 * 1024, ' ') + "{";
    const QString damagedWhy = cannotRead("reports.json", "The data is not valid JSON (a key was "
                                                          "expected at offset 204802)");
    // Report 0 of three, and nothing else, reads "needsAttention" first.
    QByteArray oneOfThree = envelope(3);
    oneOfThree.replace(oneOfThree.indexOf("needsAttention"), 14, "maybe");
    std::vector<ScanReport> lastTwo = sampleHistory(3, false);
    lastTwo.erase(lastTwo.begin());
    const struct {
        const char* name;
        bool namesTaken;
        bool backup;
        QByteArray primary = {};
        QString why = {};
        std::vector<ScanReport> shown = {};
    } cases[] = {{"limited", false, true},
                 {"names taken", true, true},
                 {"no backup", false, false},
                 {"one report of three", true, false, oneOfThree,
                  "The file \u201Creports.json\u201D was read, but one of its reports could not "
                  "be.",
                  lastTwo}};
    for (const auto& c : cases) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        writeFile(folder.filePath("reports.json"), c.primary.isEmpty() ? damaged : c.primary);
        if (c.backup) {
            writeFile(folder.filePath("reports.backup.json"), envelope(1));
        }
        for (int attempt = 1; c.namesTaken && attempt <= 100; ++attempt) {
            const QString suffix = attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt);
            writeFile(folder.filePath("reports.corrupt-1785000000" + suffix + ".json"), "kept");
        }
        const Files before = snapshotFolder(folder.path());
        {
            // Large enough for the backup's bytes, too small for the damaged ones.
            bw::test::FileSizeLimit limit(c.namesTaken ? RLIM_INFINITY : 64 * 1024);
            // Saving is off, and says why the file the user has could not be read, nor set aside.
            const QString why = c.why.isEmpty() ? damagedWhy : c.why;
            const QString failed = QString::fromUtf8(" It could not be set aside: %1.")
                                       .arg(c.namesTaken ? "Every name from “" + corruptName +
                                                               "” to “reports.corrupt-1785000000-"
                                                               "100.json” is taken"
                                                         : "File too large");
            // A history with readable reports shows them, as a backup does.
            const bool shows = c.backup || !c.shown.empty();
            const QString notice = (shows ? refusingNotice : corruptNotice) + u' ' + why;
            expectOutcome(storeIn(folder.path()).load(),
                          {c.backup ? sampleHistory(1, false) : c.shown, notice, false,
                           refusingNotice + u' ' + why + failed},
                          c.name);
        }
        EXPECT_EQ(snapshotFolder(folder.path()), before) << c.name;
    }
}

// Taken set-aside names are skipped: the damage goes under the first free one.
TEST(ReportStoreLoad, APreservedFileIsNeverOverwritten) {
    bw::test::TestFolder root;
    Files expected{{"reports.backup.json", envelope(1)},
                   {corruptName, "kept"},
                   {"reports.corrupt-1785000000-2.json", "kept from before"}};
    for (const auto& [name, bytes] : expected) {
        writeFile(root.filePath(name), bytes);
    }
    writeFile(root.filePath("reports.json"), "damage");
    expectOutcome(storeIn(root.path()).load(), {sampleHistory(1, false), damagedNotice, true}, "");
    expected["reports.json"] = envelope(1);
    expected["reports.corrupt-1785000000-3.json"] = "damage";
    EXPECT_EQ(snapshotFolder(root.path()), expected);
}

// A long history is decoded in parts at once, each report as it is parsed: every report comes
// back in its place however the file is laid out or split, a key given twice keeps its last
// array, and a fault in the last part leaves out that report alone.
TEST(ReportStoreLoad, ALongHistoryKeepsItsOrderAndAFaultLeavesOutOneReport) {
    std::vector<ScanReport> reports = sampleHistory(1000, false);
    // Findings of one rule and reports of one app, alike but for one text each: the decoded
    // reports share what is equal and keep what differs.
    for (std::size_t index = 0; index < 10; ++index) {
        Finding& finding = reports[index].findings.front();
        finding.id = QStringLiteral("signing.get-task-allow");
        finding.evidence = index % 2 ? QStringLiteral("other") : finding.evidence;
        reports[index].metadata.bundleIdentifier = QStringLiteral("com.example.same");
    }
    QByteArray bytes = encodeHistory(reports);
    // Texts that hold, unescaped, what the file puts between two reports: a split there must
    // not hold.
    std::vector<ScanReport> lined = reports;
    for (ScanReport& report : lined) {
        report.findings.front().evidence = QStringLiteral("a},\n    {b");
    }
    QByteArray linedBytes = encodeHistory(lined);
    linedBytes.replace("a},\\n    {b", "a},\n    {b");
    ASSERT_TRUE(linedBytes.contains("a},\n    {b"));
    QJsonArray array;
    for (const ScanReport& report : reports) {
        array.append(toJson(report));
    }
    // The envelope's array of reports, as it stands in the file.
    const auto arrayIn = [](const QByteArray& envelope) {
        return envelope.mid(envelope.indexOf('['),
                            envelope.lastIndexOf(']') - envelope.indexOf('[') + 1);
    };
    const QByteArray oneArray = arrayIn(encodeHistory({reports.front()}));
    const QByteArray longArray = arrayIn(bytes);
    const auto twice = [](const QByteArray& first, const QByteArray& second) {
        return R"({"reports": )" + first + R"(, "reports": )" + second + R"(, "schemaVersion": 1})";
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<ScanReport> expected;
    };
    const Case cases[] = {
        {"pretty", bytes, reports},
        {"compact",
         json::write(QJsonObject{{"reports", array}, {"schemaVersion", 1}}, json::Layout::compact),
         reports},
        {"bare array", json::write(array, json::Layout::pretty), reports},
        {"separators in texts", linedBytes, lined},
        {"long array twice", twice(longArray, longArray), reports},
        {"short then long", twice(oneArray, longArray), reports},
        {"long then short", twice(longArray, oneArray), {reports.front()}},
    };
    for (const Case& c : cases) {
        const DecodedHistory decoded = decodeHistory(c.bytes);
        ASSERT_EQ(decoded.state, DecodedHistory::State::decoded) << c.name;
        EXPECT_EQ(decoded.reports, c.expected) << c.name;
        EXPECT_TRUE(decoded.undecodable.empty()) << c.name;
    }
    const DecodedHistory decoded = decodeHistory(bytes);
    EXPECT_EQ(decoded.reports[0].findings[0].title.constData(),
              decoded.reports[9].findings[0].title.constData());
    const qsizetype lastVerdict = bytes.lastIndexOf("\"verdict\"");
    ASSERT_GE(lastVerdict, 0);
    bytes.replace(lastVerdict, 9, "\"verdicz\"");
    const DecodedHistory faulty = decodeHistory(bytes);
    const QUuid faultyId = reports.back().id;
    reports.pop_back();
    EXPECT_EQ(faulty.state, DecodedHistory::State::decoded);
    EXPECT_EQ(faulty.reports, reports);
    // Its place and id, so that a copy of it can take its place.
    EXPECT_EQ(faulty.undecodable,
              (std::vector<DecodedHistory::Undecodable>{{reports.size(), faultyId}}));
    // Broken JSON in the middle of a long history is damage, however it is split.
    bytes.insert(bytes.indexOf("\n    {", bytes.size() / 2), "tru");
    EXPECT_EQ(decodeHistory(bytes).state, DecodedHistory::State::damaged);
}

// Reports that do not decode are set aside with the file that holds them; the others load, a
// readable copy of one in the backup takes its place, and saving goes on.
TEST(ReportStoreLoad, UndecodableReportsAreSetAsideAndTheRestLoad) {
    const QString path = QDir::toNativeSeparators("%1/" + corruptName);
    const std::vector<ScanReport> all = sampleHistory(16, false);
    // Every sample report's verdict, and nothing else, reads "needsAttention": the first
    // `count` reports are spoiled.
    const auto spoiled = [](QByteArray bytes, int count) {
        while (count-- > 0) {
            bytes.replace(bytes.indexOf("needsAttention"), 14, "maybe");
        }
        return bytes;
    };
    const std::vector<ScanReport> last15(all.begin() + 1, all.end());
    const std::vector<ScanReport> last14(all.begin() + 2, all.end());
    struct Case {
        const char* name;
        QByteArray primary;
        QByteArray backup;
        std::vector<ScanReport> shown;
        QString notice;
    };
    const Case cases[] = {
        {"one, spoiled in the backup too", spoiled(envelope(16), 1), spoiled(envelope(16), 1),
         last15,
         "One report could not be read and was set aside in \u201C" + path +
             "\u201D; the rest of the history is shown."},
        {"two of a legacy array", spoiled(legacyArray(16), 2), spoiled(legacyArray(16), 2), last14,
         "2 reports could not be read and were set aside in \u201C" + path +
             "\u201D; the rest of the history is shown."},
        {"one, readable in the backup", spoiled(envelope(16), 1), envelope(16), all,
         "One report could not be read and was restored from its last good backup; the "
         "unreadable file was set aside in \u201C" +
             path + "\u201D."},
        {"two, readable in a partly damaged backup", spoiled(envelope(16), 2),
         spoiled(encodeHistory({all[15], all[0], all[1]}), 1), all,
         "2 reports could not be read and were restored from their last good backup; the "
         "unreadable file was set aside in \u201C" +
             path + "\u201D."},
        {"two, one of them readable in the backup", spoiled(envelope(16), 2),
         encodeHistory({all[1]}), last15,
         "2 reports could not be read and were set aside in \u201C" + path +
             "\u201D; one of them was restored from the last good backup, and the rest of the "
             "history is shown."},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        writeFile(folder.filePath("reports.json"), c.primary);
        writeFile(folder.filePath("reports.backup.json"), c.backup);
        const ReportStore store = storeIn(folder.path());
        const ReportStore::LoadResult result = store.load();
        EXPECT_EQ(result.reports, c.shown) << c.name;
        EXPECT_EQ(result.notice, c.notice.arg(folder.path())) << c.name;
        EXPECT_TRUE(result.canPersist) << c.name;
        EXPECT_EQ(fs::readWholeFile(folder.filePath(corruptName)), c.primary) << c.name;
        EXPECT_EQ(decodeHistory(fs::readWholeFile(folder.filePath("reports.json"))).reports,
                  c.shown)
            << c.name;

        store.save(result.reports);
        EXPECT_EQ(storeIn(folder.path()).load().reports, c.shown) << c.name;
        EXPECT_EQ(fs::readWholeFile(folder.filePath(corruptName)), c.primary) << c.name;
    }
}

// A backup that decodes as a history shows its readable reports when the primary file cannot be
// used; the files that hold what cannot be read are set aside, and saving goes on.
TEST(ReportStoreLoad, ABackupWithUnreadableReportsShowsTheRest) {
    QByteArray backup = envelope(3);
    // Report 0's verdict, and nothing else, reads "needsAttention" first.
    backup.replace(backup.indexOf("needsAttention"), 14, "maybe");
    const std::vector<ScanReport> readable = {bw::test::sampleReport(1, false),
                                              bw::test::sampleReport(2, false)};
    const QString first = "\u201C%1/" + corruptName + "\u201D";
    const QString second = "\u201C%1/reports.corrupt-1785000000-2.json\u201D";
    const QString restoredWithBoth =
        "The report history could not be read and was restored from its backup, where one report "
        "could not be read; the history was set aside in " +
        first + " and the backup in " + second + ", and the rest of the history is shown.";
    struct Case {
        const char* name;
        std::function<void(const QString&)> primary;
        QString notice;
        QString backupAside;
    };
    const Case cases[] = {
        {"missing primary", [](const QString&) {},
         "The primary report history was missing and was restored from its backup, where one "
         "report could not be read; the backup was set aside in " +
             first + ", and the rest of the history is shown.",
         corruptName},
        {"damaged primary", [](const QString& path) { writeFile(path, "damage"); },
         restoredWithBoth, "reports.corrupt-1785000000-2.json"},
        {"primary a pipe",
         [](const QString& path) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
         },
         restoredWithBoth + u' ' + cannotRead("reports.json", "It is a pipe, not a regular file"),
         "reports.corrupt-1785000000-2.json"},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        root.write(iconFile, fileIcon);
        c.primary(folder.filePath("reports.json"));
        writeFile(folder.filePath("reports.backup.json"), backup);
        const ReportStore store = storeIn(folder.path());
        const ReportStore::LoadResult result = inBoundedTime([&] { return store.load(); });
        expectOutcome(result, {readable, QString(c.notice).replace("%1", folder.path()), true},
                      c.name);
        EXPECT_EQ(fs::readWholeFile(folder.filePath(c.backupAside)), backup) << c.name;
        for (const char* file : {"reports.json", "reports.backup.json"}) {
            EXPECT_EQ(decodeHistory(fs::readWholeFile(folder.filePath(file))).reports, readable)
                << c.name << file;
        }
        store.save(result.reports);
        expectOutcome(storeIn(folder.path()).load(), {readable, std::nullopt, true}, c.name);
        // The set-aside report keeps its icon.
        EXPECT_EQ(fs::readWholeFile(folder.filePath(iconFile)), fileIcon) << c.name;
    }
}

// The icon files are read once, beside the history's decode, also when reports are set aside: an
// icon file replaced after that read (here as the clock names the set-aside file) is not read
// again.
TEST(ReportStoreLoad, IconFilesAreReadOnceWhenReportsAreSetAside) {
    bw::test::TestFolder root;
    const QDir folder(root.path());
    QByteArray primary = envelope(2);
    primary.replace(primary.lastIndexOf("needsAttention"), 14, "maybe");
    writeFile(folder.filePath("reports.json"), primary);
    folder.mkpath("ReportIcons");
    writeFile(folder.filePath(iconFile), fileIcon);
    const ReportStore store(folder.path(), [&] {
        writeFile(folder.filePath(iconFile), "\x89PNG written later");
        return fixedNow();
    });
    const ReportStore::LoadResult result = store.load();
    EXPECT_EQ(result.reports, withFileIcon(1));
    ASSERT_TRUE(result.notice);
    EXPECT_TRUE(result.notice->startsWith("One report could not be read and was set aside"));
}

// A save killed mid-way leaves its hidden temporary file; the next load or save removes it, and
// nothing else.
TEST(ReportStoreLoad, StaleTemporaryFilesGoAtTheNextLoadOrSave) {
    const QStringList stale = {".reports.json.0a1b.tmp", ".reports.backup.json.0a1b.tmp",
                               ".reports.corrupt-1785000000.json.0a1b.tmp"};
    const QStringList kept = {".notes.json.0a1b.tmp", "reports.json.tmp", ".reports.json"};
    for (const bool saving : {false, true}) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        writeFile(folder.filePath("reports.json"), envelope(1));
        for (const QString& name : stale + kept) {
            writeFile(folder.filePath(name), "left over");
        }
        const ReportStore store = storeIn(folder.path());
        saving ? store.save(sampleHistory(1, false)) : void(store.load());
        for (const QString& name : stale) {
            EXPECT_FALSE(QFileInfo::exists(folder.filePath(name))) << qPrintable(name) << saving;
        }
        for (const QString& name : kept) {
            EXPECT_TRUE(QFileInfo::exists(folder.filePath(name))) << qPrintable(name) << saving;
        }
    }
}

// Whatever stands in a history file's place and cannot be read (a device, a pipe, a folder, a file
// larger than any history) is moved aside as it is, at once and unread; the notice says why and
// where, and saving goes on.
TEST(ReportStoreLoad, WhatCannotBeReadIsMovedAsideAndSavingGoesOn) {
    const QString primaryAside = "“%1/" + corruptName + "”";
    const QString secondAside = QString::fromUtf8("“%1/reports.corrupt-1785000000-2.json”");
    // Where the obstacle stands, what the other history file holds, where the obstacle goes, and
    // what the load shows and says before the reason.
    struct SetUp {
        const char* name;
        QString file;
        std::optional<QByteArray> other;
        QString moved;
        std::vector<ScanReport> reports;
        QString notice;
        bool onlyForAFolder = false;
    };
    const SetUp setUps[] = {
        {"primary alone",
         "reports.json",
         std::nullopt,
         corruptName,
         {},
         "The report history could not be read and has no backup; it was set aside in " +
             primaryAside + " and a new history was started."},
        {"primary with a backup", "reports.json", envelope(1), corruptName, withFileIcon(1),
         "The report history could not be read and was restored from its last good backup; the "
         "unreadable file was set aside in " +
             primaryAside + "."},
        {"backup alone",
         "reports.backup.json",
         std::nullopt,
         corruptName,
         {},
         "The report history was missing and its backup could not be read; the backup was set "
         "aside in " +
             primaryAside + " and a new history was started."},
        {"backup of a damaged primary",
         "reports.backup.json",
         "damage",
         "reports.corrupt-1785000000-2.json",
         {},
         "The report history and its backup could not be read and were set aside in " +
             primaryAside + " and " + secondAside + "; a new history was started."},
        // Only a folder is in the way of the saves, which replace the backup.
        {"backup of a good primary", "reports.backup.json", envelope(2), corruptName,
         withFileIcon(2),
         "The backup of the report history could not be read and was set aside in " + primaryAside +
             ".",
         true},
    };
    for (const Obstacle& obstacle : obstacles) {
        for (const SetUp& setUp : setUps) {
            const std::string name = std::string(obstacle.name) + ", " + setUp.name;
            bw::test::TestFolder root;
            const QDir folder(root.path());
            root.write(iconFile, fileIcon);
            const QString reason = obstacle.make(folder.filePath(setUp.file));
            const std::optional<fs::ItemStatus> made = fs::itemStatus(folder.filePath(setUp.file));
            ASSERT_TRUE(made) << name;
            if (setUp.onlyForAFolder && made->kind != fs::ItemKind::folder) {
                continue;
            }
            place(folder, setUp.file == u"reports.json" ? "reports.backup.json" : "reports.json",
                  setUp.other);
            const QString notice = QString(setUp.notice + u' ' + cannotRead(setUp.file, reason))
                                       .replace("%1", folder.path());
            const ReportStore store = storeIn(folder.path());
            expectOutcome(inBoundedTime([&] { return store.load(); }),
                          {setUp.reports, notice, true}, name.c_str());

            // Moved as it is: the same kind and size, a sparse file not copied out.
            const std::optional<fs::ItemStatus> aside =
                fs::itemStatus(folder.filePath(setUp.moved));
            ASSERT_TRUE(aside) << name;
            EXPECT_EQ(aside->kind, made->kind) << name;
            EXPECT_EQ(aside->size, made->size) << name;
            struct stat status {};
            ASSERT_EQ(::lstat(QFile::encodeName(folder.filePath(setUp.moved)).constData(), &status),
                      0);
            EXPECT_LT(status.st_blocks * 512, 1 << 20) << name;
            if (setUp.moved != corruptName) {
                EXPECT_EQ(fs::readWholeFile(folder.filePath(corruptName)), setUp.other.value_or(""))
                    << name;
            }
            inBoundedTime([&] { store.save(withFileIcon(3)); });
            expectOutcome(storeIn(folder.path()).load(), {withFileIcon(3), std::nullopt, true},
                          name.c_str());
        }
    }
}

// What is no file in the lock's place (a folder, a pipe, a device, a link to nothing) is no one's
// lock: the history shows at once and the notice names what stands there; each save fails with
// that reason and leaves the history as it was.
TEST(ReportStoreLoad, WhatIsNoFileInTheLocksPlaceHoldsNoStart) {
    for (const Obstacle& obstacle : obstacles) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        writeFile(folder.filePath("reports.json"), envelope(2));
        const QString reason = obstacle.make(folder.filePath("reports.lock"));
        // A regular file there is a lock file, left by some run.
        if (fs::itemStatus(folder.filePath("reports.lock"))->kind == fs::ItemKind::regularFile) {
            continue;
        }
        const QString why = cannotRead("reports.lock", reason);
        const ReportStore store = storeIn(folder.path());
        QElapsedTimer timer;
        timer.start();
        expectOutcome(inBoundedTime([&] { return store.load(); }),
                      {sampleHistory(2, false), why, true}, obstacle.name);
        // Far below the wait for a live holder.
        EXPECT_LT(timer.elapsed(), 5000) << obstacle.name;
        const auto failed = inBoundedTime([&] {
            return bw::test::thrown<fs::FileIoError>([&] { store.save(sampleHistory(3, false)); });
        });
        ASSERT_TRUE(failed) << obstacle.name;
        EXPECT_EQ(failed->description(), why) << obstacle.name;
        EXPECT_EQ(fs::readWholeFile(folder.filePath("reports.json")), envelope(2)) << obstacle.name;
    }
}

// A history file or an icon reached through a symbolic link, as a dotfile manager makes them, is
// read as the file it leads to: nothing is set aside, and the link stays.
TEST(ReportStoreLoad, AHistoryReachedThroughALinkIsReadAsItsFile) {
    const struct {
        const char* linked;
        std::optional<QByteArray> backup;
        std::optional<QString> notice;
    } cases[] = {
        {"reports.json", std::nullopt, std::nullopt},
        {"reports.json", envelope(3), std::nullopt},
        // Restored from the backup: the icon is read on its own, not beside the history.
        {"reports.backup.json", std::nullopt, missingNotice},
    };
    for (const auto& c : cases) {
        bw::test::TestFolder root;
        const QDir folder(root.makeFolder("history"));
        folder.mkpath("ReportIcons");
        const std::pair<QString, QByteArray> linked[] = {{c.linked, envelope(5)},
                                                         {iconFile, fileIcon}};
        for (const auto& [name, bytes] : linked) {
            const QString target = root.write("dotfiles/" + QFileInfo(name).fileName(), bytes);
            ASSERT_TRUE(QFile::link(target, folder.filePath(name)));
        }
        place(folder, "reports.backup.json", c.backup);
        Files expected = snapshotFolder(root.path());
        if (c.notice) {
            expected["history/reports.json"] = envelope(5);
        }
        expectOutcome(storeIn(folder.path()).load(), {withFileIcon(5), c.notice, true}, c.linked);
        EXPECT_EQ(snapshotFolder(root.path()), expected) << c.linked;
        EXPECT_EQ(fs::itemStatus(folder.filePath(c.linked))->kind, fs::ItemKind::symbolicLink);
    }
}

// Whatever stands in an icon file's place and is no regular file of an icon's size (a device, a
// pipe, a folder, a file far too large) is no icon; it is not read, and stays.
TEST(ReportStoreLoad, AnIconThatIsNoRegularFileIsNotRead) {
    for (const Obstacle& obstacle : obstacles) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        folder.mkpath("ReportIcons");
        writeFile(folder.filePath("reports.json"), envelope(1));
        obstacle.make(folder.filePath(iconFile));
        expectOutcome(inBoundedTime([&] { return storeIn(folder.path()).load(); }),
                      {sampleHistory(1, false), std::nullopt, true}, obstacle.name);
        EXPECT_TRUE(fs::exists(folder.filePath(iconFile))) << obstacle.name;
    }
}
