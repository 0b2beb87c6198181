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

std::vector<ScanReport> hydrated(std::vector<ScanReport> reports) {
    for (ScanReport& report : reports) {
        if (report.id == bw::test::sampleReport(0).id) {
            report.metadata.iconPNG = fileIcon;
        }
    }
    return reports;
}

QByteArray envelope(int count) {
    return encodeHistory(sampleHistory(count, false));
}

QByteArray legacyArray(int count) {
    QJsonArray array;
    for (const ScanReport& report : sampleHistory(count, false)) {
        array.append(toJson(report));
    }
    return json::write(array, json::Layout::compact);
}

// Marks a file that exists but cannot be read: a folder stands in its place.
const QByteArray unreadable = "<folder>";

void place(const QDir& folder, const QString& name, const std::optional<QByteArray>& bytes) {
    if (!bytes) {
        return;
    }
    if (*bytes == unreadable) {
        folder.mkpath(name);
        writeFile(folder.filePath(name + "/inside"), "inside");
        return;
    }
    writeFile(folder.filePath(name), *bytes);
}

struct Outcome {
    std::vector<ScanReport> reports;
    std::optional<QString> notice;
    bool canPersist;
};

void expectOutcome(const ReportStore::LoadResult& result, const Outcome& expected,
                   const char* name) {
    EXPECT_EQ(result.reports, expected.reports) << name;
    EXPECT_EQ(result.notice.value_or("none").toStdString(),
              expected.notice.value_or("none").toStdString())
        << name;
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
    const Outcome restored{hydrated(sampleHistory(1, false)), damagedNotice, true};
    const Outcome recovered{hydrated(sampleHistory(1, false)), missingNotice, true};
    const Outcome recoveredThree{hydrated(sampleHistory(3, false)), missingNotice, true};
    const Outcome two{hydrated(sampleHistory(2, false)), std::nullopt, true};
    const Outcome none{{}, std::nullopt, true};
    const Outcome unreadableNotice{
        {}, QString::fromUtf8("The file “reports.json” could not be read: Is a directory."), false};
    const Outcome lost{{}, corruptNotice, false};
    const QByteArray newer = R"({"reports": [], "schemaVersion": 2})";
    const auto nothing = std::nullopt;
    const Case cases[] = {
        {"new history", nothing, nothing, none, {}},
        {"missing primary, good backup",
         nothing,
         backupBytes,
         recovered,
         {{"reports.json", backupBytes}}},
        {"missing primary, legacy backup",
         nothing,
         legacyArray(3),
         recoveredThree,
         {{"reports.json", legacyArray(3)}}},
        {"missing primary, damaged backup", nothing, damagedJson, lost, {}},
        {"missing primary, unreadable backup", nothing, unreadable, lost, {}},
        {"missing primary, newer backup", nothing, newer, lost, {}},
        {"unreadable primary", unreadable, backupBytes, unreadableNotice, {}},
        {"good primary, damaged backup", primaryBytes, damagedJson, two, {}},
        {"good primary, no backup", primaryBytes, nothing, two, {}},
        {"legacy primary", legacyArray(2), nothing, two, {}},
        {"empty legacy primary", "[]", backupBytes, none, {}},
        {"damaged primary, good backup",
         damagedJson,
         backupBytes,
         restored,
         {{corruptName, damagedJson}, {"reports.json", backupBytes}}},
        {"damaged primary, legacy backup",
         damagedJson,
         legacyArray(1),
         restored,
         {{corruptName, damagedJson}, {"reports.json", legacyArray(1)}}},
        {"damaged primary, no backup", damagedJson, nothing, lost, {}},
        {"damaged primary, damaged backup", damagedJson, "[{}]", lost, {}},
        {"damaged primary, unreadable backup", damagedJson, unreadable, lost, {}},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder root;
        const QDir folder(root.filePath("history"));
        folder.mkpath(".");
        folder.mkpath("ReportIcons");
        writeFile(folder.filePath(iconFile), fileIcon);
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

// Only version 1 is ours. A higher one belongs to a newer Berthwatch and is left alone, even with
// reports we cannot read and a good backup; any other version is damage.
TEST(ReportStoreLoad, SchemaVersions) {
    const QByteArray backupBytes = envelope(1);
    const QByteArray reports =
        json::write(QJsonArray{toJson(bw::test::sampleReport(3, false))}, json::Layout::compact);
    struct Case {
        QByteArray version;
        QByteArray reports;
        bool newer;
    };
    const Case cases[] = {
        {"2", reports, true},     {"2", R"([{"future": true}])", true},
        {"7", "{}", true},        {"0", reports, false},
        {"1.5", reports, false},  {R"("1")", reports, false},
        {"null", reports, false}, {"1e300", reports, false},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        const QByteArray primary =
            R"({"reports": )" + c.reports + R"(, "schemaVersion": )" + c.version + "}";
        writeFile(folder.filePath("reports.json"), primary);
        writeFile(folder.filePath("reports.backup.json"), backupBytes);
        Files expected = snapshotFolder(folder.path());
        Outcome outcome{{}, newerNotice, false};
        if (!c.newer) {
            expected[corruptName] = primary;
            expected["reports.json"] = backupBytes;
            outcome = {sampleHistory(1, false), damagedNotice, true};
        }
        expectOutcome(storeIn(folder.path()).load(), outcome, primary.constData());
        EXPECT_EQ(snapshotFolder(folder.path()), expected) << primary.constData();
    }
}

TEST(ReportStoreLoad, AFolderThatCannotBePreparedChangesNothing) {
    bw::test::TestFolder root;
    writeFile(root.filePath("file"), "a regular file");
    const Files before = snapshotFolder(root.path());
    const std::pair<QString, QString> cases[] = {
        {root.filePath("file"), "Not a directory"},
        {root.filePath("file/history"), "Not a directory"}};
    for (const auto& [base, reason] : cases) {
        expectOutcome(storeIn(base).load(),
                      {{}, folderNotice.chopped(1) + ": " + reason + ".", false}, qPrintable(base));
        EXPECT_EQ(snapshotFolder(root.path()), before) << qPrintable(base);
    }
}

TEST(ReportStoreLoad, AnIconInsideTheJsonWinsOverItsFile) {
    bw::test::TestFolder root;
    const QDir folder(root.path());
    std::vector<ScanReport> reports = sampleHistory(2, false);
    reports[0].metadata.iconPNG = QByteArray("inline icon");
    writeFile(folder.filePath("reports.json"), encodeHistory(reports));
    folder.mkpath("ReportIcons");
    writeFile(folder.filePath(iconFile), fileIcon);
    writeFile(folder.filePath("ReportIcons/" + json::formatUuid(reports[1].id) + ".png"), "second");

    const auto result = storeIn(folder.path()).load();
    ASSERT_EQ(result.reports.size(), 2u);
    EXPECT_EQ(result.reports[0].metadata.iconPNG, QByteArray("inline icon"));
    EXPECT_EQ(result.reports[1].metadata.iconPNG, QByteArray("second"));
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

TEST(ReportStoreLoad, APreservedFileIsNeverOverwritten) {
    bw::test::TestFolder root;
    const QDir folder(root.path());
    const QByteArray backupBytes = envelope(1);
    writeFile(folder.filePath("reports.backup.json"), backupBytes);
    writeFile(folder.filePath("reports.corrupt-1785000000-2.json"), "kept from before");
    const QByteArray damages[] = {"first damage", "second damage", "third damage"};
    for (const QByteArray& damage : damages) {
        writeFile(folder.filePath("reports.json"), damage);
        expectOutcome(storeIn(folder.path()).load(), {sampleHistory(1, false), damagedNotice, true},
                      damage.constData());
    }
    const Files expected{{"reports.json", backupBytes},
                         {"reports.backup.json", backupBytes},
                         {corruptName, "first damage"},
                         {"reports.corrupt-1785000000-2.json", "kept from before"},
                         {"reports.corrupt-1785000000-3.json", "second damage"},
                         {"reports.corrupt-1785000000-4.json", "third damage"}};
    EXPECT_EQ(snapshotFolder(folder.path()), expected);
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
        EXPECT_EQ(decoded.undecodable, 0u) << c.name;
    }
    const DecodedHistory decoded = decodeHistory(bytes);
    EXPECT_EQ(decoded.reports[0].findings[0].title.constData(),
              decoded.reports[9].findings[0].title.constData());
    const qsizetype lastVerdict = bytes.lastIndexOf("\"verdict\"");
    ASSERT_GE(lastVerdict, 0);
    bytes.replace(lastVerdict, 9, "\"verdicz\"");
    const DecodedHistory faulty = decodeHistory(bytes);
    reports.pop_back();
    EXPECT_EQ(faulty.state, DecodedHistory::State::decoded);
    EXPECT_EQ(faulty.reports, reports);
    EXPECT_EQ(faulty.undecodable, 1u);
    // Broken JSON in the middle of a long history is damage, however it is split.
    bytes.insert(bytes.indexOf("\n    {", bytes.size() / 2), "tru");
    EXPECT_EQ(decodeHistory(bytes).state, DecodedHistory::State::damaged);
}

// Reports that do not decode, in the primary and in its backup alike, are set aside with the
// file that holds them; the others load, and saving goes on.
TEST(ReportStoreLoad, UndecodableReportsAreSetAsideAndTheRestLoad) {
    const auto spoil = [](QByteArray bytes, int count) {
        qsizetype at = 0;
        for (int spoiled = 0; spoiled < count; ++spoiled) {
            at = bytes.indexOf("\"verdict\" : \"", at);
            const qsizetype value = at + 13;
            bytes.replace(value, bytes.indexOf('"', value) - value, "maybe");
            at = value;
        }
        return bytes;
    };
    struct Case {
        int spoiled;
        QByteArray legacy; // a bare array instead of the envelope, when set
        QString notice;
    };
    const QString path = QDir::toNativeSeparators("%1/" + corruptName);
    const Case cases[] = {
        {1,
         {},
         "One report could not be read and was set aside in \u201C" + path +
             "\u201D; the rest of the history is shown."},
        {3,
         {},
         "3 reports could not be read and were set aside in \u201C" + path +
             "\u201D; the rest of the history is shown."},
        {2, legacyArray(16),
         "2 reports could not be read and were set aside in \u201C" + path +
             "\u201D; the rest of the history is shown."},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder root;
        const QDir folder(root.path());
        QByteArray bytes = c.legacy.isEmpty() ? envelope(16) : c.legacy;
        if (!c.legacy.isEmpty()) {
            bytes.replace("\"verdict\":\"", "\"verdict\" : \"");
        }
        bytes = spoil(bytes, c.spoiled);
        writeFile(folder.filePath("reports.json"), bytes);
        writeFile(folder.filePath("reports.backup.json"), bytes);
        const ReportStore store = storeIn(folder.path());
        const ReportStore::LoadResult result = store.load();
        const std::vector<ScanReport> all = sampleHistory(16, false);
        const std::vector<ScanReport> rest(all.begin() + c.spoiled, all.end());
        EXPECT_EQ(result.reports, rest) << c.spoiled;
        EXPECT_EQ(result.notice, c.notice.arg(folder.path())) << c.spoiled;
        EXPECT_TRUE(result.canPersist) << c.spoiled;
        EXPECT_EQ(fs::readWholeFile(folder.filePath(corruptName)), bytes) << c.spoiled;
        EXPECT_EQ(decodeHistory(fs::readWholeFile(folder.filePath("reports.json"))).reports, rest);

        store.save(result.reports);
        EXPECT_EQ(storeIn(folder.path()).load().reports, rest) << c.spoiled;
        EXPECT_EQ(fs::readWholeFile(folder.filePath(corruptName)), bytes) << c.spoiled;
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
