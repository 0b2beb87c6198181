#include "model/HistoryLock.h"
#include "model/ReportHistoryCoding.h"
#include "model/ReportStore.h"
#include "model/ReportStoreError.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/json/JsonValues.h"
#include "platform/json/JsonWriter.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"
#include "tests/support/Thrown.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace bw;
using bw::test::sampleHistory;
using bw::test::sampleReport;
using bw::test::snapshotFolder;
using bw::test::writeFile;
using Files = std::map<QString, QByteArray>;

namespace {

Files iconsIn(const QString& folder) {
    Files icons = snapshotFolder(folder);
    std::erase_if(icons, [](const auto& entry) { return !entry.first.startsWith("ReportIcons/"); });
    return icons;
}

} // namespace

// Icons go to their own files, out of the JSON; the backup takes the previous primary.
TEST(ReportStoreSave, FirstSaveWritesPrimaryAndBackupThenBackupTakesThePreviousPrimary) {
    bw::test::TestFolder root;
    const ReportStore store(root.path());
    ScanReport first = sampleReport(0);
    first.createdAt = first.createdAt.addMSecs(500);
    store.save({first});
    const QByteArray firstHistory = encodeHistory(sampleHistory(1, false));
    const Files written{{"reports.json", firstHistory},
                        {"reports.backup.json", firstHistory},
                        {"ReportIcons", "/"},
                        {bw::test::iconFileName(first), *first.metadata.iconPNG}};
    EXPECT_EQ(snapshotFolder(root.path()), written);

    store.save({sampleReport(1), first});
    const Files after = snapshotFolder(root.path());
    EXPECT_EQ(after.at("reports.backup.json"), firstHistory);
    EXPECT_EQ(after.at(bw::test::iconFileName(sampleReport(1))), *sampleReport(1).metadata.iconPNG);
    EXPECT_FALSE(after.at("reports.json").contains("iconPNG"));

    // Loaded back: the order of the file, icons from their files, createdAt without its fraction.
    const auto loaded = store.load();
    EXPECT_EQ(loaded.reports, (std::vector<ScanReport>{sampleReport(1), sampleReport(0)}));
    EXPECT_EQ(loaded.notice, std::nullopt);
    EXPECT_TRUE(loaded.canPersist);
}

TEST(ReportStoreSave, EmptyListWritesAnEmptyEnvelopeAndPrunesOnlyUuidIcons) {
    bw::test::TestFolder root;
    const ReportStore store(root.path());
    store.save(sampleHistory(2));
    const QString unsaved = json::formatUuid(sampleReport(9).id);
    Files expected{{"ReportIcons/logo.png", "logo"}, {"ReportIcons/" + unsaved + ".txt", "text"}};
    for (const auto& [name, bytes] : expected) {
        writeFile(root.filePath(name), bytes);
    }
    // An icon file of a report no longer kept goes, whatever the case of its name.
    writeFile(root.filePath("ReportIcons/" + unsaved + ".PNG"), "capital extension");
    writeFile(root.filePath("ReportIcons/" + unsaved.toLower() + ".png"), "lower-case name");

    store.save({sampleReport(1)});
    expected[bw::test::iconFileName(sampleReport(1))] = *sampleReport(1).metadata.iconPNG;
    EXPECT_EQ(iconsIn(root.path()), expected);

    store.save({});
    EXPECT_EQ(snapshotFolder(root.path()).at("reports.json"),
              "{\n  \"reports\" : [],\n  \"schemaVersion\" : 1\n}");
    expected.erase(bw::test::iconFileName(sampleReport(1)));
    EXPECT_EQ(iconsIn(root.path()), expected);
}

// A primary that does not decode survives every save until a load has set it aside.
TEST(ReportStoreSave, RefusesToOverwriteAPrimaryThatDoesNotDecode) {
    for (const QByteArray primary :
         {"{\"reports\": [tru", R"({"reports": [], "schemaVersion": 2})"}) {
        bw::test::TestFolder root;
        writeFile(root.filePath("reports.json"), primary);
        const Files before = snapshotFolder(root.path());
        EXPECT_EQ(bw::test::thrownKind<ReportStoreError>(
                      [&] { ReportStore(root.path()).save(sampleHistory(2)); }),
                  ReportStoreError::Kind::refusingToOverwriteCorruptStore);
        EXPECT_EQ(snapshotFolder(root.path()), before) << primary.constData();
    }
}

TEST(ReportStoreSave, FailuresPassThroughAndLeaveThePrimaryAlone) {
    bw::test::TestFolder root;
    const QDir folder(root.path());

    writeFile(folder.filePath("file"), "a file");
    const auto unavailable = bw::test::thrown<ReportStoreError>(
        [&] { ReportStore(folder.filePath("file/history")).save({}); });
    ASSERT_TRUE(unavailable);
    EXPECT_EQ(unavailable->description(), "The Berthwatch reports folder \u201C" +
                                              folder.filePath("file/history") +
                                              "\u201D could not be prepared: Not a directory.");

    // The system's reason reaches the user when the lock file cannot be made either.
    const auto locked =
        bw::test::thrown<ReportStoreError>([&] { HistoryLock(folder.filePath("missing")); });
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked->description(),
              "The Berthwatch reports folder \u201C" + folder.filePath("missing") +
                  "\u201D could not be prepared: No such file or directory.");

    folder.mkpath("unreadable/reports.json");
    const auto unreadable = bw::test::thrown<fs::FileIoError>(
        [&] { ReportStore(folder.filePath("unreadable")).save({}); });
    ASSERT_TRUE(unreadable);
    EXPECT_EQ(unreadable->errorNumber(), EISDIR);

    // A number JSON cannot hold, then a backup that cannot be written: the primary stays.
    const ReportStore store(folder.filePath("h"));
    store.save(sampleHistory(1));
    const QByteArray primary = fs::readWholeFile(folder.filePath("h/reports.json"));
    std::vector<ScanReport> reports = sampleHistory(2);
    reports[1].findings[0].confidence = std::nan("");
    EXPECT_TRUE(bw::test::thrown<json::EncodeError>([&] { store.save(reports); }));
    QFile::remove(folder.filePath("h/reports.backup.json"));
    folder.mkpath("h/reports.backup.json");
    EXPECT_TRUE(bw::test::thrown<fs::FileIoError>([&] { store.save(sampleHistory(2)); }));
    EXPECT_EQ(fs::readWholeFile(folder.filePath("h/reports.json")), primary);
}

namespace {

// Runs `action` as a user who may not write to folders they do not own, and says whether it could.
// Root may write anywhere, so this thread alone takes another file system identity; the others,
// and root's rights, are left alone.
template <typename Action> bool withoutRootsRights(Action action) {
    if (::geteuid() != 0) {
        action();
        return true;
    }
    bool dropped = false;
    std::thread([&] {
        ::setfsgid(65534);
        ::setfsuid(65534);
        // An id that cannot be taken leaves it as it is, and gives the one in use.
        dropped = ::setfsuid(uid_t(-1)) == 65534;
        if (dropped) {
            action();
        }
    }).join();
    return dropped;
}

// A file system of 64 KiB of its own on `folder` for one scope, where this process may mount one
// (root may, as on the build machines); `refusal` says why not.
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder) : folder_(QFile::encodeName(folder)) {
        if (::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") != 0) {
            refusal = std::strerror(errno);
        }
    }
    ~SmallDisk() {
        if (refusal.empty()) {
            ::umount2(folder_.constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    std::string refusal;

private:
    QByteArray folder_;
};

} // namespace

// A full disk: the history shows and says why nothing can be saved, no lock file is left behind for
// the next start to wait on, nor is one that a dead holder left waited on, a save fails for the
// same reason and changes nothing, and once there is room again saving goes on.
TEST(ReportStoreSave, OnAFullDiskTheHistoryShowsAndSavingGoesOnOnceThereIsRoom) {
    bw::test::TestFolder root;
    const SmallDisk disk(root.makeFolder("disk"));
    if (!disk.refusal.empty()) {
        GTEST_SKIP() << "no file system of its own can be mounted here (root may): "
                     << disk.refusal;
    }
    const QString folder = root.filePath("disk/Berthwatch");
    ReportStore(folder).save(sampleHistory(3));
    // As a holder killed before it wrote its process id into it leaves it.
    writeFile(QDir(folder).filePath("reports.lock"), "");
    const int filler = ::open(QFile::encodeName(root.filePath("disk/filler")).constData(),
                              O_WRONLY | O_CREAT, 0644);
    const QByteArray block(4096, 'x');
    while (::write(filler, block.constData(), std::size_t(block.size())) > 0) {
    }
    ASSERT_EQ(errno, ENOSPC);
    ::close(filler);
    const Files before = snapshotFolder(folder);
    const QString full = "The Berthwatch reports folder \u201C" + folder +
                         "\u201D could not be prepared: No space left on device.";
    QElapsedTimer timer;
    timer.start();
    for (const char* start : {"first start", "next start"}) {
        const ReportStore::LoadResult loaded = ReportStore(folder).load();
        EXPECT_EQ(loaded.reports, sampleHistory(3)) << start;
        EXPECT_EQ(loaded.notice, full) << start;
        EXPECT_TRUE(loaded.canPersist) << start;
    }
    const ReportStore store(folder);
    const auto failed = bw::test::thrown<ReportStoreError>([&] { store.save(sampleHistory(4)); });
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->description(), full);
    EXPECT_EQ(snapshotFolder(folder), before);
    // Far below the wait for a live holder, on every start and save.
    EXPECT_LT(timer.elapsed(), 5000);

    ASSERT_TRUE(QFile::remove(root.filePath("disk/filler")));
    store.save(sampleHistory(4));
    EXPECT_EQ(ReportStore(folder).load().reports, sampleHistory(4));
}

// A folder the history cannot be written to is named, with the system's reason, and nothing is
// written; a new history is not even started there.
TEST(ReportStoreSave, AReadOnlyFolderIsNamedWithTheReason) {
    bw::test::TestFolder root;
    const QString folder = root.makeFolder("history");
    ASSERT_EQ(::chmod(QFile::encodeName(root.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    std::optional<ReportStoreError> error;
    const bool ran = withoutRootsRights(
        [&] { error = bw::test::thrown<ReportStoreError>([&] { ReportStore(folder).save({}); }); });
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    if (!ran) {
        GTEST_SKIP() << "root here may not take another file system identity, so no folder is "
                        "read-only to it";
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(), "The Berthwatch reports folder \u201C" + folder +
                                        "\u201D could not be prepared: Permission denied.");
    EXPECT_EQ(snapshotFolder(folder), Files());
}

// A report set aside, with the file that holds it, keeps its icon through every later save; an
// icon that no history and no set-aside file names still goes.
TEST(ReportStoreSave, ASetAsideReportKeepsItsIcon) {
    const auto spoilFirst = [](QByteArray bytes) {
        return bytes.replace(bytes.indexOf("needsAttention"), 14, "maybe");
    };
    const std::pair<const char*, std::function<void(const QString&)>> cases[] = {
        // One report does not decode: it is set aside, the other shown.
        {"one report set aside",
         [&](const QString& folder) {
             for (const char* name : {"reports.json", "reports.backup.json"}) {
                 const QString path = QDir(folder).filePath(name);
                 writeFile(path, spoilFirst(fs::readWholeFile(path)));
             }
         }},
        // Nothing decodes: the files are set aside and a new history starts.
        {"started over",
         [](const QString& folder) {
             const QString path = QDir(folder).filePath("reports.json");
             writeFile(path, fs::readWholeFile(path) + "tru");
             QFile::remove(QDir(folder).filePath("reports.backup.json"));
         }},
    };
    for (const auto& [name, damage] : cases) {
        bw::test::TestFolder root;
        ReportStore(root.path()).save(sampleHistory(2));
        damage(root.path());
        const ReportStore store(root.path());
        const ReportStore::LoadResult loaded = store.load();
        ASSERT_TRUE(loaded.notice) << name;
        store.save(loaded.reports);
        store.save(loaded.reports);
        for (const ScanReport& report : sampleHistory(2)) {
            EXPECT_EQ(fs::readWholeFile(root.filePath(bw::test::iconFileName(report))),
                      *report.metadata.iconPNG)
                << name;
        }
        store.save({sampleReport(5)});
        store.save({});
        EXPECT_FALSE(QFileInfo::exists(root.filePath(bw::test::iconFileName(sampleReport(5)))))
            << name;
    }
}

// A history moved aside unread (beyond the bound, or unreadable to its user) may name any report:
// while it cannot be read, every icon stays, through Clear History too. One that an earlier version
// moved aside as a link is read through it for the reports it names. What is no file (a folder, a
// pipe, a link to nothing) names none, and Clear History takes every icon.
TEST(ReportStoreSave, AHistoryMovedAsideUnreadKeepsEveryIcon) {
    const auto primaryIn = [](const QString& folder) {
        return QFile::encodeName(QDir(folder).filePath("reports.json"));
    };
    const struct {
        const char* name;
        std::function<void(const QString&)> moveAside;
        int iconsLeft; // after Clear History
    } cases[] = {
        {"beyond the bound",
         [&](const QString& folder) {
             ASSERT_EQ(::truncate(primaryIn(folder).constData(), qint64(257) << 20), 0);
         },
         6},
        {"unreadable to its user",
         [&](const QString& folder) { ASSERT_EQ(::chmod(primaryIn(folder).constData(), 0), 0); },
         6},
        {"a link set aside",
         [&](const QString& folder) {
             const QString elsewhere = folder + ".elsewhere.json";
             ASSERT_EQ(::rename(primaryIn(folder).constData(), QFile::encodeName(elsewhere)), 0);
             ASSERT_TRUE(QFile::link(elsewhere, QDir(folder).filePath("reports.corrupt-1.json")));
         },
         5},
        {"a folder set aside",
         [&](const QString& folder) { ASSERT_TRUE(QDir(folder).mkdir("reports.corrupt-1.json")); },
         0},
        {"a pipe set aside",
         [&](const QString& folder) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/reports.corrupt-1.json"), 0600), 0);
         },
         0},
        {"a link to nothing set aside",
         [&](const QString& folder) {
             ASSERT_TRUE(QFile::link(folder + "/gone", folder + "/reports.corrupt-1.json"));
         },
         0},
    };
    for (const auto& c : cases) {
        bw::test::TestFolder root;
        ASSERT_EQ(::chmod(QFile::encodeName(root.path()).constData(), 0777), 0);
        const QString folder = root.filePath("history");
        const bool ran = withoutRootsRights([&] {
            ReportStore(folder).save(sampleHistory(5));
            writeFile(QDir(folder).filePath("reports.backup.json"),
                      encodeHistory(sampleHistory(3, false)));
            c.moveAside(folder);
            // The backup's three reports are shown and saved.
            const ReportStore store(folder);
            store.save(store.load().reports);
            const auto icons = [&] { return QDir(folder + "/ReportIcons").entryList(QDir::Files); };
            EXPECT_EQ(icons().size(), 5) << c.name;
            store.save({sampleReport(9)});
            store.save({});
            EXPECT_EQ(icons().size(), c.iconsLeft) << c.name;
        });
        if (!ran) {
            GTEST_SKIP() << "root here may not take another file system identity, so no file is "
                            "unreadable to it";
        }
    }
}

TEST(ReportStoreSave, AnIconThatCannotBeWrittenStaysInsideTheJson) {
    bw::test::TestFolder root;
    writeFile(QDir(root.path()).filePath("ReportIcons"), "a file where the folder belongs");
    const ReportStore store(root.path());
    store.save(sampleHistory(2));
    const QByteArray primary = fs::readWholeFile(QDir(root.path()).filePath("reports.json"));
    EXPECT_EQ(primary.count("\"iconPNG\""), 2);
    EXPECT_EQ(store.load().reports, sampleHistory(2));
}

// The store remembers what it wrote; what changed behind its back is looked at again.
TEST(ReportStoreSave, FilesChangedBehindTheStoresBackAreReadAgain) {
    bw::test::TestFolder root;
    const ReportStore store(root.path());
    const std::vector<ScanReport> reports = sampleHistory(2);
    store.save(reports);
    QByteArray icon = *reports[0].metadata.iconPNG;
    icon[0] = char(icon[0] ^ 1);
    const QString iconPath = root.filePath(bw::test::iconFileName(reports[0]));
    writeFile(iconPath, icon);
    store.save(reports);
    EXPECT_EQ(fs::readWholeFile(iconPath), *reports[0].metadata.iconPNG);

    writeFile(root.filePath("reports.json"), "[{}]");
    EXPECT_EQ(bw::test::thrownKind<ReportStoreError>([&] { store.save(reports); }),
              ReportStoreError::Kind::refusingToOverwriteCorruptStore);
}

TEST(ReportStoreSave, WithoutAFolderTheHistoryLivesInTheUserDataFolder) {
    bw::test::TestFolder root;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.path()));
    const ReportStore store;
    store.save(sampleHistory(1));
    EXPECT_TRUE(QFileInfo::exists(QDir(root.path()).filePath("Berthwatch/reports.json")));
    EXPECT_EQ(store.load().reports, sampleHistory(1));
    previous.isEmpty() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", previous);
}
