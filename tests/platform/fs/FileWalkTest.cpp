#include "platform/fs/FileWalk.h"

#include "platform/fs/FileStatus.h"
#include "platform/fs/TemporaryFolder.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace bw;

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

TEST_F(FileWalkTest, WalksDepthFirstInNameOrder) {
    struct Case {
        fs::WalkOptions options;
        QStringList expected;
    };
    const Case cases[] = {
        {{true, true},
         {"Inner.app", "Inner.app/Info.plist", "Kit.framework", "Kit.framework/Kit", "a", "a/z.txt",
          "b.txt", "linked"}},
        {{true, false}, {"Inner.app", "Kit.framework", "a", "a/z.txt", "b.txt", "linked"}},
        {{false, false},
         {".hidden", ".hidden/x.txt", "Inner.app", "Kit.framework", "a", "a/.DS_Store", "a/z.txt",
          "b.txt", "linked"}},
    };
    for (const Case& c : cases) {
        const auto items = fs::walk(root, c.options);
        ASSERT_TRUE(items);
        // The link is listed as itself and never entered.
        EXPECT_EQ(relative(*items, root), c.expected);
    }
}

TEST_F(FileWalkTest, MissingRootsAndFilesCannotBeWalked) {
    EXPECT_FALSE(fs::walk(folder.path() + "/nothing", {}));
    EXPECT_FALSE(fs::walk(root + "/b.txt", {}));
    EXPECT_FALSE(fs::listFolder(folder.path() + "/nothing", true));
    // A root the user reached through a link is entered.
    EXPECT_EQ(relative(*fs::walk(root + "/linked", {}), root + "/linked"),
              QStringList{"secret.txt"});
}

TEST_F(FileWalkTest, StatusNeverFollowsLinks) {
    EXPECT_EQ(fs::itemStatus(root + "/b.txt")->kind, fs::ItemKind::regularFile);
    EXPECT_EQ(fs::itemStatus(root + "/b.txt")->size, 5);
    EXPECT_EQ(fs::itemStatus(root + "/a")->kind, fs::ItemKind::folder);
    EXPECT_EQ(fs::itemStatus(root + "/linked")->kind, fs::ItemKind::symbolicLink);
    EXPECT_FALSE(fs::itemStatus(root + "/none"));
    EXPECT_FALSE(fs::isFolder(root + "/linked"));
    EXPECT_TRUE(fs::isPackage(root + "/Kit.framework"));
    EXPECT_FALSE(fs::isPackage(root + "/a"));
}

TEST_F(FileWalkTest, ReadsOnlyRegularFilesWithinTheLimit) {
    link(root + "/b.txt", root + "/b-link");
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "/fifo").constData(), 0600), 0);
    EXPECT_EQ(fs::readRegularFile(root + "/b.txt", 5), QByteArray("12345"));
    EXPECT_FALSE(fs::readRegularFile(root + "/b.txt", 4));
    EXPECT_FALSE(fs::readRegularFile(root + "/b-link", 100));
    EXPECT_FALSE(fs::readRegularFile(root + "/fifo", 100));
    EXPECT_FALSE(fs::readRegularFile(root + "/a", 100));
    EXPECT_FALSE(fs::readRegularFile(root + "/none", 100));
}

TEST_F(FileWalkTest, ResolvesInsideOnlyWhenLinksAndDotsStayInside) {
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
        const QString name = QFileInfo(path).fileName();
        EXPECT_TRUE(name.startsWith("Berthwatch-"));
        EXPECT_EQ(QUuid::fromString(name.mid(11)).toString(QUuid::WithoutBraces).toUpper(),
                  name.mid(11));
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        // An extracted archive may hold folders we may not write to or enter.
        QDir().mkpath(path + "/locked/deeper");
        QFile(path + "/locked/deeper/file").open(QIODevice::WriteOnly);
        ::chmod(QFile::encodeName(path + "/locked/deeper").constData(), 0500);
        ::chmod(QFile::encodeName(path + "/locked").constData(), 0000);
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(scratch.leftovers().isEmpty());
}

TEST(TemporaryFolder, FailsWithTheSystemError) {
    test::TestFolder scratch;
    scratch.write("tmp/blocker", "");
    qputenv("TMPDIR", (scratch.tempDirectory() + "/blocker").toLocal8Bit());
    EXPECT_THROW(fs::TemporaryFolder("Berthwatch-"), std::system_error);
}
