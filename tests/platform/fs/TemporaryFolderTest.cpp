#include "platform/fs/TemporaryFolder.h"

#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <unistd.h>

using namespace bw;

namespace {

const QString uuid = QStringLiteral("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");

int refusedError = 0;
int refuseLocks(int, int) {
    errno = refusedError;
    return -1;
}

// Puts in a lock call that fails with `error`, as a file system without locks does.
struct LockRefusal {
    explicit LockRefusal(int error) {
        refusedError = error;
        fs::setFolderLockCall(refuseLocks);
    }
    ~LockRefusal() { fs::setFolderLockCall(::flock); }
};

void makeOld(const QString& path) {
    const timeval twoMinutesAgo{::time(nullptr) - 120, 0};
    const timeval times[] = {twoMinutesAgo, twoMinutesAgo};
    ::utimes(QFile::encodeName(path).constData(), times);
}

// Sets or clears the immutable flag, which stops even the superuser from removing a file; false
// where the file system or the process may not.
bool setImmutable(const QString& path, bool immutable) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

} // namespace

// Where locks are refused the folder is made all the same, unlocked, and a sweep leaves it alone;
// any other locking failure still fails.
TEST(TemporaryFolder, WorksUnlockedWhereLocksAreRefused) {
    test::TestFolder scratch;
    for (const int error : {ENOLCK, EOPNOTSUPP, ENOTSUP, EINVAL}) {
        const LockRefusal refusal(error);
        QString path;
        {
            const fs::TemporaryFolder folder("Berthwatch-");
            path = folder.path();
            EXPECT_TRUE(QFileInfo(path).isDir()) << error;
            EXPECT_EQ(fs::removeAbandonedFolders(scratch.tempDirectory(), {"Berthwatch-"}), 0);
            EXPECT_TRUE(QFileInfo(path).isDir()) << error;
        }
        EXPECT_FALSE(QFileInfo::exists(path)) << error;
    }
    const LockRefusal failure(EIO);
    EXPECT_THROW(fs::TemporaryFolder("Berthwatch-"), std::system_error);
    EXPECT_TRUE(scratch.leftovers().isEmpty()) << scratch.leftovers().join(' ').toStdString();
}

// A run killed between making its folder and naming it leaves the hidden name: swept once it is
// older than the moment a live run takes to lock it, and never while locked.
TEST(TemporaryFolder, SweepRemovesHiddenFoldersOfKilledRuns) {
    test::TestFolder scratch;
    const QString base = scratch.tempDirectory();
    const QString abandoned = base + "/.Berthwatch-" + uuid;
    const QString fresh = base + "/.Berthwatch-Preview-" + uuid;
    const QString held = base + "/.BerthwatchCommand-" + uuid;
    for (const QString& path : {abandoned, fresh, held}) {
        QDir().mkpath(path);
    }
    makeOld(abandoned);
    makeOld(held);
    const int lock = ::open(QFile::encodeName(held).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);

    EXPECT_EQ(fs::removeAbandonedFolders(
                  base, {"Berthwatch-", "Berthwatch-Preview-", "BerthwatchCommand-"}),
              1);
    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_TRUE(QFileInfo::exists(fresh));
    EXPECT_TRUE(QFileInfo::exists(held));
    ::close(lock);
}

// A folder the sweep could not remove, or did not finish when it was stopped, is not counted.
TEST(TemporaryFolder, SweepCountsOnlyFoldersThatAreGone) {
    test::TestFolder scratch;
    const QString base = scratch.tempDirectory();
    const QString folder = base + "/Berthwatch-" + uuid;
    const QString file = folder + "/kept";
    QDir().mkpath(folder);
    QFile(file).open(QIODevice::WriteOnly);
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_EQ(fs::removeAbandonedFolders(base, {"Berthwatch-"}, stopped.get_token()), 0);
    EXPECT_TRUE(QFileInfo::exists(file));
    if (!setImmutable(file, true)) {
        GTEST_SKIP() << "files cannot be made immutable here";
    }
    EXPECT_EQ(fs::removeAbandonedFolders(base, {"Berthwatch-"}), 0);
    EXPECT_TRUE(QFileInfo::exists(file));
    setImmutable(file, false);
    EXPECT_EQ(fs::removeAbandonedFolders(base, {"Berthwatch-"}), 1);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

// A run's folder goes after the run has ended, however much it holds: the folder is whole when
// the run is over, and locked until it is gone, so that no sweep takes it from under its removal.
TEST(TemporaryFolder, ARunsFolderGoesInTheBackgroundHoweverLarge) {
    for (const int files : {1, 20'000}) {
        test::TestFolder scratch;
        QString path;
        {
            const fs::BackgroundRemovalPause pause;
            {
                const fs::TemporaryFolder folder("Berthwatch-");
                path = folder.path();
                QDir().mkpath(path + "/many");
                for (int i = 0; i < files; ++i) {
                    QFile(path + "/many/" + QString::number(i)).open(QIODevice::WriteOnly);
                }
            }
            EXPECT_EQ(QDir(path + "/many").entryList(QDir::Files).size(), files);
            EXPECT_EQ(fs::removeAbandonedFolders(scratch.tempDirectory(), {"Berthwatch-"}), 0);
        }
        fs::waitForBackgroundRemovals();
        EXPECT_FALSE(QFileInfo::exists(path)) << files;
    }
}
