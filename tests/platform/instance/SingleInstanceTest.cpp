#include "platform/instance/SingleInstance.h"

#include "tests/support/TempFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QSignalSpy>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace bw {
namespace {

QString folderOf(const testing::TempFolder& temp) {
    return QString::fromStdString(temp.path().string());
}

// A later start blocks while it talks to the running instance, so it runs on its own thread
// while this one serves the running instance's events.
bool claimFromAnotherStart(const QString& folder) {
    std::atomic<bool> done = false;
    bool claimed = true;
    std::thread later([&] {
        claimed = SingleInstance(folder).claim();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    later.join();
    QCoreApplication::processEvents();
    return claimed;
}

TEST(SingleInstanceTest, LaterStartBringsTheRunningInstanceForwardAndStepsAside) {
    testing::TempFolder temp;
    SingleInstance running(folderOf(temp));
    ASSERT_TRUE(running.claim());
    QSignalSpy activations(&running, &SingleInstance::activationRequested);

    EXPECT_FALSE(claimFromAnotherStart(folderOf(temp)));
    EXPECT_EQ(activations.count(), 1);
    EXPECT_FALSE(claimFromAnotherStart(folderOf(temp)));
    EXPECT_EQ(activations.count(), 2);
}

TEST(SingleInstanceTest, TakesOverTheLockAndSocketOfACrashedInstance) {
    testing::TempFolder temp;
    const QString folder = folderOf(temp);
    const QString socketPath = SingleInstance(folder).socketPath();
    const pid_t crashed = fork();
    ASSERT_GE(crashed, 0);
    if (crashed == 0) {
        // Leaves its lock and a socket file behind, as a killed instance does.
        QLockFile lock(folder + QStringLiteral("/berthwatch.lock"));
        lock.tryLock(0);
        QLocalServer server;
        server.listen(socketPath);
        _exit(0);
    }
    int status = 0;
    waitpid(crashed, &status, 0);
    ASSERT_TRUE(QFile::exists(socketPath));

    SingleInstance next(folder);
    ASSERT_TRUE(next.claim());
    QSignalSpy activations(&next, &SingleInstance::activationRequested);
    EXPECT_FALSE(claimFromAnotherStart(folder));
    EXPECT_EQ(activations.count(), 1);
}

} // namespace
} // namespace bw

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
