#include "model/ReportHistoryCoding.h"
#include "model/ReportJson.h"
#include "model/ReportStore.h"
#include "model/ReportStoreError.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/json/JsonValues.h"
#include "platform/json/JsonWriter.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

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
const QString folderNotice = noticeOf(ReportStoreError::Kind::directoryUnavailable);

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
}

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
    const Outcome unreadableNotice{
        {}, QString::fromUtf8("The file “reports.json” could not be read: Is a directory."), false};
    const Outcome lost{{}, corruptNotice, false};
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
        {"missing primary, damaged backup", nothing, damagedJson, lost, {}},
        {"newer primary, good backup", newer, backupBytes, {{}, newerNotice, false}, {}},
        {"unreadable primary", unreadable, backupBytes, unreadableNotice, {}},
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
        {"damaged primary, no backup", damagedJson, nothing, lost, {}},
        {"damaged primary, damaged backup", damagedJson, "[{}]", lost, {}},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder root;
        root.write("history/" + iconFile, fileIcon);
        const QDir folder(root.filePath("history"));
        place(folder, "reports.json", c.primary);
        place(folder, "reports.backup.json", c.backup);
        Files expected = snapshotFolder(folder.path());
        for (const auto& [name, bytes] : c.written) {
            expected[name] = bytes;
        }

        expectOutcome(storeIn(folder.path()).load(), c.outcome, c.name);
        EXPECT_EQ(snapshotFolder(folder.path()), expected) << c.name;
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
    expectOutcome(storeIn(root.filePath("file/history")).load(),
                  {{}, folderNotice.chopped(1) + ": Not a directory.", false}, "file/history");
    EXPECT_EQ(snapshotFolder(root.path()), before);
}

// The damaged bytes must be safely aside before reports.json is replaced. When they cannot be
// written (beyond the file size limit, or with every set-aside name taken, so that the name search
// ends), every file stays, and the backup's reports come back without permission to save.
TEST(ReportStoreLoad, DamagedBytesThatCannotBeSetAsideAreNotOverwritten) {
    for (const bool namesTaken : {false, true}) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        writeFile(folder.filePath("reports.json"), "[" + QByteArray(200 * 1024, ' ') + "{");
        writeFile(folder.filePath("reports.backup.json"), envelope(1));
        for (int attempt = 1; namesTaken && attempt <= 100; ++attempt) {
            const QString suffix = attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt);
            writeFile(folder.filePath("reports.corrupt-1785000000" + suffix + ".json"), "kept");
        }
        const Files before = snapshotFolder(folder.path());
        {
            // Large enough for the backup's bytes, too small for the damaged ones.
            bw::test::FileSizeLimit limit(namesTaken ? RLIM_INFINITY : 64 * 1024);
            expectOutcome(storeIn(folder.path()).load(),
                          {sampleHistory(1, false), refusingNotice, false},
                          namesTaken ? "names taken" : "limited");
        }
        EXPECT_EQ(snapshotFolder(folder.path()), before) << namesTaken;
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

// A long history is decoded in parts at once: every report comes back in its place, and a fault
// in the last part leaves out that report alone.
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
    const DecodedHistory decoded = decodeHistory(bytes);
    ASSERT_EQ(decoded.state, DecodedHistory::State::decoded);
    EXPECT_EQ(decoded.reports, reports);
    EXPECT_EQ(decoded.reports[0].findings[0].title.constData(),
              decoded.reports[9].findings[0].title.constData());
    EXPECT_EQ(decoded.undecodable, 0u);
    const qsizetype lastVerdict = bytes.lastIndexOf("\"verdict\"");
    ASSERT_GE(lastVerdict, 0);
    bytes.replace(lastVerdict, 9, "\"verdicz\"");
    const DecodedHistory faulty = decodeHistory(bytes);
    reports.pop_back();
    EXPECT_EQ(faulty.state, DecodedHistory::State::decoded);
    EXPECT_EQ(faulty.reports, reports);
    EXPECT_EQ(faulty.undecodable, 1u);
}

// Reports that do not decode, in the primary and in its backup alike, are set aside with the
// file that holds them; the others load, and saving goes on.
TEST(ReportStoreLoad, UndecodableReportsAreSetAsideAndTheRestLoad) {
    const QString path = QDir::toNativeSeparators("%1/" + corruptName);
    const std::tuple<int, QByteArray, QString> cases[] = {
        {1, envelope(16),
         "One report could not be read and was set aside in \u201C" + path +
             "\u201D; the rest of the history is shown."},
        {2, legacyArray(16),
         "2 reports could not be read and were set aside in \u201C" + path +
             "\u201D; the rest of the history is shown."},
    };
    for (auto [spoiled, bytes, notice] : cases) {
        // Every sample report's verdict, and nothing else, reads "needsAttention".
        for (int count = 0; count < spoiled; ++count) {
            bytes.replace(bytes.indexOf("needsAttention"), 14, "maybe");
        }
        bw::test::TestFolder root;
        const QDir folder(root.path());
        writeFile(folder.filePath("reports.json"), bytes);
        writeFile(folder.filePath("reports.backup.json"), bytes);
        const ReportStore store = storeIn(folder.path());
        const ReportStore::LoadResult result = store.load();
        const std::vector<ScanReport> all = sampleHistory(16, false);
        const std::vector<ScanReport> rest(all.begin() + spoiled, all.end());
        EXPECT_EQ(result.reports, rest) << spoiled;
        EXPECT_EQ(result.notice, notice.arg(folder.path())) << spoiled;
        EXPECT_TRUE(result.canPersist) << spoiled;
        EXPECT_EQ(fs::readWholeFile(folder.filePath(corruptName)), bytes) << spoiled;
        EXPECT_EQ(decodeHistory(fs::readWholeFile(folder.filePath("reports.json"))).reports, rest);

        store.save(result.reports);
        EXPECT_EQ(storeIn(folder.path()).load().reports, rest) << spoiled;
        EXPECT_EQ(fs::readWholeFile(folder.filePath(corruptName)), bytes) << spoiled;
    }
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
