#include "tests/support/TestFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <map>

namespace bw {
namespace {

// Starts of the real program on the offscreen platform, all in one private user session.
class OneInstanceTest : public ::testing::Test {
protected:
    OneInstanceTest() {
        QDir(folder.path()).mkpath(QStringLiteral("run"));
        QFile::setPermissions(runtime(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
        environment.insert(QStringLiteral("HOME"), folder.makeFolder(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           folder.makeFolder(QStringLiteral("config")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    }
    ~OneInstanceTest() override {
        for (auto& process : processes) {
            process->kill();
            process->waitForFinished();
        }
    }

    QString runtime() const { return folder.path() + QStringLiteral("/run"); }
    QString data() const { return folder.path() + QStringLiteral("/data"); }

    QProcess& start() {
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(BW_PROGRAM), {});
        EXPECT_TRUE(process->waitForStarted());
        return *process;
    }

    // The running instance listens once it holds the lock; until then a later start waits.
    bool waitForListening() const {
        const QDeadlineTimer deadline(30000);
        while (!QFileInfo::exists(runtime() + QStringLiteral("/berthwatch.socket"))) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    // Every file of the data folder with its size and modification time.
    std::map<QString, std::pair<qint64, QDateTime>> dataFiles() const {
        std::map<QString, std::pair<qint64, QDateTime>> files;
        QDirIterator it(data(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files[info.filePath()] = {info.size(), info.lastModified()};
        }
        return files;
    }

    static void expectStepsAside(QProcess& later) {
        ASSERT_TRUE(later.waitForFinished(30000));
        EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(later.exitCode(), 0);
    }

    bw::test::TestFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(OneInstanceTest, ASecondStartStepsAsideAndACrashedInstanceIsReplaced) {
    QProcess& first = start();
    ASSERT_TRUE(waitForListening());
    const auto before = dataFiles();

    expectStepsAside(start());
    EXPECT_EQ(first.state(), QProcess::Running);
    // The later start never touched the history.
    EXPECT_EQ(dataFiles(), before);

    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished());
    QProcess& next = start();
    // It takes over instead of asking the dead instance: it keeps running.
    EXPECT_FALSE(next.waitForFinished(3000));
    EXPECT_EQ(next.state(), QProcess::Running);
    expectStepsAside(start());
    EXPECT_EQ(next.state(), QProcess::Running);
}

} // namespace
} // namespace bw
