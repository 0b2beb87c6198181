#include "platform/fs/AtomicFile.h"

#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"
#include "tests/support/Thrown.h"

#include <QDir>
#include <QRandomGenerator>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace bw;
using bw::test::snapshotFolder;
using bw::test::writeFile;

TEST(AtomicFile, CreatesAndReplacesWithNothingElseLeftInTheFolder) {
    bw::test::TestFolder dir;
    const QString path = dir.filePath("history.json");
    fs::writeFileAtomically(path, "first");
    fs::writeFileAtomically(path, "second, longer");
    fs::writeFileAtomically(dir.filePath("empty"), {});
    const std::map<QString, QByteArray> expected{{"history.json", "second, longer"}, {"empty", ""}};
    EXPECT_EQ(snapshotFolder(dir.path()), expected);
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissions) {
    bw::test::TestFolder dir;
    const QString path = dir.filePath("history.json");
    const QByteArray name = QFile::encodeName(path);
    for (const mode_t mode : {0600, 0640, 0644}) {
        fs::writeFileAtomically(path, "old");
        ASSERT_EQ(::chmod(name.constData(), mode), 0);
        fs::writeFileAtomically(path, "new");
        struct stat replaced {};
        ASSERT_EQ(::stat(name.constData(), &replaced), 0);
        EXPECT_EQ(replaced.st_mode & 0777, mode) << std::oct << mode;
    }
}

TEST(AtomicFile, NeverReplaceCreatesANewFile) {
    bw::test::TestFolder dir;
    fs::writeFileAtomically(dir.filePath("kept.json"), "bytes", fs::Replace::never);
    const std::map<QString, QByteArray> expected{{"kept.json", "bytes"}};
    EXPECT_EQ(snapshotFolder(dir.path()), expected);
}

// Each failure leaves the folder exactly as it was: the old file intact, no temporary file.
TEST(AtomicFile, AFailedWriteChangesNothing) {
    struct Case {
        const char* name;
        std::function<void(const QDir&)> prepare;
        QString target;
        QByteArray bytes;
        fs::Replace replace;
        int errorNumber;
        std::function<void()> during;
    };
    const QByteArray big(256 * 1024, 'x');
    const Case cases[] = {
        {"missing folder", [](const QDir&) {}, "missing/file.json", "x", fs::Replace::existing,
         ENOENT, nullptr},
        {"folder in the way",
         [](const QDir& d) {
             d.mkdir("file.json");
             writeFile(d.filePath("file.json/inner"), "inner");
         },
         "file.json", "x", fs::Replace::existing, EISDIR, nullptr},
        {"existing file, never replace",
         [](const QDir& d) { writeFile(d.filePath("file.json"), "old"); }, "file.json", "new",
         fs::Replace::never, EEXIST, nullptr},
        {"write cut short", [](const QDir& d) { writeFile(d.filePath("file.json"), "old"); },
         "file.json", big, fs::Replace::existing, EFBIG, nullptr},
    };
    for (const Case& c : cases) {
        bw::test::TestFolder dir;
        const QDir folder(dir.path());
        c.prepare(folder);
        const auto before = snapshotFolder(dir.path());
        std::optional<bw::test::FileSizeLimit> limit;
        if (c.errorNumber == EFBIG) {
            limit.emplace(64 * 1024);
        }
        const auto error = bw::test::thrown<fs::FileIoError>(
            [&] { fs::writeFileAtomically(folder.filePath(c.target), c.bytes, c.replace); });
        limit.reset();
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(error->errorNumber(), c.errorNumber) << c.name;
        EXPECT_EQ(error->operation(), fs::FileIoError::Operation::write) << c.name;
        EXPECT_EQ(error->path(), folder.filePath(c.target)) << c.name;
        EXPECT_EQ(snapshotFolder(dir.path()), before) << c.name;
    }
}

TEST(AtomicFile, ErrorsDescribeTheFileAndTheSystemReason) {
    EXPECT_EQ(fs::FileIoError(fs::FileIoError::Operation::write, "/a/b/reports.json", EEXIST)
                  .description(),
              QString::fromUtf8("The file “reports.json” could not be saved: File exists."));
    EXPECT_EQ(
        fs::FileIoError(fs::FileIoError::Operation::read, "reports.json", EISDIR).description(),
        QString::fromUtf8("The file “reports.json” could not be read: Is a directory."));
}

TEST(ReadWholeFile, ReadsEveryByte) {
    bw::test::TestFolder dir;
    // Larger than one read, and not a multiple of it.
    QByteArray big(300 * 1024 + 7, '\0');
    QRandomGenerator generator(7);
    for (char& byte : big) {
        byte = char(generator.bounded(256));
    }
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", {}}, {"small", "{}\n"}, {"big", big}};
    for (const auto& [name, bytes] : cases) {
        bw::test::writeFile(dir.filePath(name), bytes);
        EXPECT_EQ(fs::readWholeFile(dir.filePath(name)), bytes) << name;
    }
}

TEST(ReadWholeFile, FailsWithTheSystemReason) {
    bw::test::TestFolder dir;
    QDir(dir.path()).mkdir("folder");
    const std::pair<const char*, int> cases[] = {{"missing", ENOENT}, {"folder", EISDIR}};
    for (const auto& [name, errorNumber] : cases) {
        const auto error =
            bw::test::thrown<fs::FileIoError>([&] { fs::readWholeFile(dir.filePath(name)); });
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->errorNumber(), errorNumber) << name;
        EXPECT_EQ(error->operation(), fs::FileIoError::Operation::read) << name;
    }
}
