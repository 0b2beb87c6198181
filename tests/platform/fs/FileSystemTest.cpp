#include "platform/core/Cancelled.h"
#include "platform/fs/AtomicFile.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/FileWalk.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/fs/TemporaryFolder.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"
#include "tests/support/Thrown.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace bw;
using bw::test::snapshotFolder;
using bw::test::writeFile;

namespace {

QStringList relative(const std::vector<QString>& items, const QString& root) {
    QStringList names;
    for (const QString& item : items) {
        names << item.mid(root.size() + 1);
    }
    return names;
}

void link(const QString& target, const QString& at) {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()),
              0);
}

class FileWalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = folder.makeFolder("root");
        folder.write("root/b.txt", "12345");
        folder.write("root/a/z.txt", "1");
        folder.write("root/.hidden/x.txt", "1");
        folder.write("root/a/.DS_Store", "1");
        folder.write("root/Kit.framework/Kit", "1");
        folder.write("root/Inner.app/Info.plist", "1");
        folder.write("outside/secret.txt", "1");
        link(folder.path() + "/outside", root + "/linked");
    }

    test::TestFolder folder;
    QString root;
};

} // namespace

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

// A failure leaves the folder exactly as it was. The report store's tests also fail writes that
// are cut short or meet a folder in the way.
TEST(AtomicFile, AFailedWriteChangesNothing) {
    bw::test::TestFolder dir;
    writeFile(dir.filePath("file.json"), "old");
    const auto before = snapshotFolder(dir.path());
    const std::pair<QString, int> cases[] = {{"missing/file.json", ENOENT}, {"file.json", EEXIST}};
    for (const auto& [target, errorNumber] : cases) {
        const auto error = bw::test::thrown<fs::FileIoError>(
            [&] { fs::writeFileAtomically(dir.filePath(target), "new", fs::Replace::never); });
        ASSERT_TRUE(error) << target.toStdString();
        EXPECT_EQ(error->errorNumber(), errorNumber);
        EXPECT_EQ(error->operation(), fs::FileIoError::Operation::write);
        EXPECT_EQ(error->path(), dir.filePath(target));
        EXPECT_EQ(snapshotFolder(dir.path()), before);
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
    const QByteArray big = QByteArray("\0\x01\x7f\x80\xff x", 7).repeated(44000);
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", {}}, {"small", "{}\n"}, {"big", big}};
    for (const auto& [name, bytes] : cases) {
        bw::test::writeFile(dir.filePath(name), bytes);
        EXPECT_EQ(fs::readWholeFile(dir.filePath(name)), bytes) << name;
    }
}

// The one reader of files that may be anything takes a regular file up to its bound and refuses
// the rest unread, links included, saying why; a pipe never blocks it.
TEST(ReadWholeFile, ARegularFileReadTakesOnlyRegularFilesUpToTheBound) {
    bw::test::TestFolder dir;
    const qint64 bigSize = 300 * 1024;
    // A device of our own where the system lets us make one, /dev/null itself otherwise.
    QString device = dir.filePath("null");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
        device = "/dev/null";
    }
    const QString sparse = dir.filePath("sparse");
    ASSERT_EQ(::truncate(QFile::encodeName(dir.write("sparse", {})).constData(), 1000 << 20), 0);
    const QString link = ": It is a symbolic link, not a regular file.";
    const fs::Links follow = fs::Links::follow;
    const std::tuple<const char*, QString, qint64, QString, fs::Links> cases[] = {
        {"at the bound", dir.write("five", "12345"), 5, "12345", fs::Links::refuse},
        {"larger than one read", dir.write("big", QByteArray(bigSize, 'x')), bigSize, "xxxxx",
         fs::Links::refuse},
        {"one byte over", dir.filePath("five"), 4, ": File too large.", fs::Links::refuse},
        {"1000 MB, sparse", sparse, qint64(256) << 20, ": File too large.", fs::Links::refuse},
        {"folder", dir.makeFolder("folder"), 5, ": Is a directory.", fs::Links::refuse},
        {"pipe", dir.makeFifo("pipe"), 5, ": It is a pipe, not a regular file.", fs::Links::refuse},
        {"device", device, 5, ": It is a device, not a regular file.", fs::Links::refuse},
        {"link to a file", dir.filePath("link"), 5, link, fs::Links::refuse},
        {"link to a pipe", dir.filePath("pipe-link"), 5, link, fs::Links::refuse},
        {"link to a device", dir.filePath("device-link"), 5, link, fs::Links::refuse},
        {"dangling link", dir.filePath("dangling"), 5, link, fs::Links::refuse},
        {"missing", dir.filePath("missing"), 5, ": No such file or directory.", fs::Links::refuse},
        // A file chosen through a link is read as the file; the target is checked the same.
        {"followed link to a file", dir.filePath("link"), 5, "12345", follow},
        {"followed link to a pipe", dir.filePath("pipe-link"), 5,
         ": It is a pipe, not a regular file.", follow},
        {"followed link to a device", dir.filePath("device-link"), 5,
         ": It is a device, not a regular file.", follow},
        {"followed dangling link", dir.filePath("dangling"), 5, ": No such file or directory.",
         follow},
    };
    ASSERT_TRUE(QFile::link(dir.filePath("five"), dir.filePath("link")));
    ASSERT_TRUE(QFile::link(dir.filePath("pipe"), dir.filePath("pipe-link")));
    ASSERT_TRUE(QFile::link(device, dir.filePath("device-link")));
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dir.filePath("dangling")));
    for (const auto& [name, path, bound, expected, links] : cases) {
        QString outcome;
        try {
            outcome = QString::fromLatin1(fs::readRegularFile(path, bound, links).bytes.left(5));
        } catch (const fs::FileIoError& error) {
            outcome = error.description();
        }
        EXPECT_TRUE(outcome.endsWith(expected)) << name << ": " << outcome.toStdString();
        if (links == fs::Links::refuse) {
            EXPECT_EQ(fs::tryReadRegularFile(path, bound).has_value(), !expected.startsWith(u':'))
                << name;
        }
    }
}

// A move keeps whatever it moves, as it is, and never replaces what is at the new name.
TEST(AtomicFile, AMoveKeepsAnythingAndReplacesNothing) {
    bw::test::TestFolder dir;
    const std::pair<const char*, QString> items[] = {
        {"folder", dir.write("folder/inside", "kept")},
        {"pipe", dir.makeFifo("pipe")},
        {"file", dir.write("file", "kept")},
    };
    for (const auto& [name, made] : items) {
        const QString from = dir.filePath(name);
        const QString to = dir.filePath(QStringLiteral("moved-%1").arg(name));
        const std::optional<fs::ItemStatus> before = fs::itemStatus(from);
        ASSERT_TRUE(before) << name;
        fs::moveWithoutReplacing(from, to);
        EXPECT_FALSE(fs::exists(from)) << name;
        ASSERT_TRUE(fs::itemStatus(to)) << name;
        EXPECT_EQ(fs::itemStatus(to)->kind, before->kind) << name;
    }
    EXPECT_EQ(fs::readWholeFile(dir.filePath("moved-folder/inside")), "kept");
    dir.write("other", "other");
    const auto error = bw::test::thrown<fs::FileIoError>(
        [&] { fs::moveWithoutReplacing(dir.filePath("other"), dir.filePath("moved-file")); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorNumber(), EEXIST);
    EXPECT_EQ(fs::readWholeFile(dir.filePath("other")), "other");
    EXPECT_EQ(fs::readWholeFile(dir.filePath("moved-file")), "kept");
}

TEST_F(FileWalkTest, WalksDepthFirstInNameOrder) {
    struct Case {
        fs::WalkOptions options;
        QStringList expected;
    };
    const Case cases[] = {
        {{true, true, {}},
         {"Inner.app", "Inner.app/Info.plist", "Kit.framework", "Kit.framework/Kit", "a", "a/z.txt",
          "b.txt", "linked"}},
        {{true, false, {}}, {"Inner.app", "Kit.framework", "a", "a/z.txt", "b.txt", "linked"}},
        {{false, false, {}},
         {".hidden", ".hidden/x.txt", "Inner.app", "Kit.framework", "a", "a/.DS_Store", "a/z.txt",
          "b.txt", "linked"}},
    };
    for (const Case& c : cases) {
        const auto items = fs::walk(root, c.options);
        ASSERT_TRUE(items);
        // The link is listed as itself and never entered.
        EXPECT_EQ(relative(*items, root), c.expected);
    }
    // A stopped walk ends, not with a shorter list that would pass for the whole.
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_THROW(fs::walk(root, {.stop = stopped.get_token()}), Cancelled);
}

TEST_F(FileWalkTest, MissingRootsCannotBeWalkedAndLinksAreNeverFollowed) {
    EXPECT_FALSE(fs::walk(folder.path() + "/nothing", {}));
    EXPECT_FALSE(fs::walk(root + "/b.txt", {}));
    // A root the user reached through a link is entered.
    EXPECT_EQ(relative(*fs::walk(root + "/linked", {}), root + "/linked"),
              QStringList{"secret.txt"});
    // Status never follows links.
    EXPECT_EQ(fs::itemStatus(root + "/b.txt")->size, 5);
    EXPECT_EQ(fs::itemStatus(root + "/linked")->kind, fs::ItemKind::symbolicLink);
    EXPECT_FALSE(fs::itemStatus(root + "/none"));
    EXPECT_FALSE(fs::isFolder(root + "/linked"));
    EXPECT_TRUE(fs::isPackage(root + "/Kit.framework"));
}

TEST_F(FileWalkTest, ReadsOnlyRegularFilesWithinTheLimitAndResolvesOnlyInside) {
    link(root + "/b.txt", root + "/b-link");
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "/fifo").constData(), 0600), 0);
    EXPECT_EQ(fs::tryReadRegularFile(root + "/b.txt", 5), QByteArray("12345"));
    EXPECT_FALSE(fs::tryReadRegularFile(root + "/b.txt", 4));
    EXPECT_FALSE(fs::tryReadRegularFile(root + "/b-link", 100));
    EXPECT_FALSE(fs::tryReadRegularFile(root + "/fifo", 100));
    // Resolves inside only when links and dots stay inside.
    EXPECT_TRUE(fs::resolvesInside(root + "/a/z.txt", root));
    EXPECT_TRUE(fs::resolvesInside(root + "/a/../b.txt", root));
    EXPECT_FALSE(fs::resolvesInside(root + "/../outside/secret.txt", root));
    EXPECT_FALSE(fs::resolvesInside(root + "/linked/secret.txt", root));
    EXPECT_FALSE(fs::resolvesInside(root, root));
    EXPECT_FALSE(fs::resolvesInside(root + "/none", root));
}

TEST(TemporaryFolder, IsPrivateAndGoesAwayWithLockedContent) {
    test::TestFolder scratch;
    QString path;
    {
        const fs::TemporaryFolder temporary("Berthwatch-");
        path = temporary.path();
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith("Berthwatch-"));
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        // An extracted archive may hold folders we may not write to or enter.
        QDir().mkpath(path + "/locked/deeper");
        QFile(path + "/locked/deeper/file").open(QIODevice::WriteOnly);
        ::chmod(QFile::encodeName(path + "/locked/deeper").constData(), 0500);
        ::chmod(QFile::encodeName(path + "/locked").constData(), 0000);
    }
    fs::waitForBackgroundRemovals();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(scratch.leftovers().isEmpty());
}

// Only unlocked folders named by a prefix and an upper-case UUID go; a folder in use, anything
// else of that name, and what a link points to stay.
TEST(TemporaryFolder, SweepRemovesOnlyAbandonedFoldersOfItsNames) {
    test::TestFolder scratch;
    const QString base = scratch.tempDirectory();
    const QString uuid = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";
    const fs::TemporaryFolder held("Berthwatch-");
    QDir().mkpath(base + "/Berthwatch-" + uuid + "/locked/deeper");
    ::chmod(QFile::encodeName(base + "/Berthwatch-" + uuid + "/locked").constData(), 0000);
    QDir().mkpath(base + "/Other-" + uuid);
    QDir().mkpath(base + "/Other-Notes");
    QDir().mkpath(base + "/Other-" + uuid.toLower());
    QDir().mkpath(base + "/Kept-" + uuid);
    QFile::link(base + "/Kept-" + uuid, base + "/Other-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F1");
    QFile(base + "/Other-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F2").open(QIODevice::WriteOnly);

    EXPECT_EQ(fs::removeAbandonedFolders(base, {"Berthwatch-", "Other-"}), 2);
    QStringList left = QDir(base).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QStringList kept = {QFileInfo(held.path()).fileName(),
                        "Kept-" + uuid,
                        "Other-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F1",
                        "Other-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F2",
                        "Other-Notes",
                        "Other-" + uuid.toLower()};
    left.sort();
    kept.sort();
    EXPECT_EQ(left, kept);
}
