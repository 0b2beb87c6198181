#include "tests/support/TestFolder.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <map>

namespace bw {
namespace {

// Starts of the real program on the offscreen platform, all in one private user session.
TEST(OneInstance, ASecondStartStepsAsideAndACrashedInstanceIsReplaced) {
    test::TestFolder folder;
    const QString runtime = folder.makeFolder(QStringLiteral("run"));
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString data = folder.makeFolder(QStringLiteral("data"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder.makeFolder(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.makeFolder(QStringLiteral("c")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));

    std::vector<std::unique_ptr<QProcess>> processes;
    const auto start = [&]() -> QProcess& {
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(BW_PROGRAM), {});
        EXPECT_TRUE(process->waitForStarted());
        return *process;
    };
    const auto stepsAside = [](QProcess& later) {
        return later.waitForFinished(30000) && later.exitStatus() == QProcess::NormalExit &&
               later.exitCode() == 0;
    };
    // Every file of the data folder with its size and time of change, but for the history lock
    // the first instance holds only while it loads.
    const auto dataFiles = [&] {
        std::map<QString, std::pair<qint64, QDateTime>> files;
        for (QDirIterator it(data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QFileInfo info(it.next());
            if (info.suffix() != u"lock") {
                files[info.filePath()] = {info.size(), info.lastModified()};
            }
        }
        return files;
    };

    QProcess& first = start();
    // The running instance listens once it holds the lock; until then a later start waits.
    const QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(runtime + QStringLiteral("/berthwatch.socket"))) {
        ASSERT_FALSE(deadline.hasExpired());
        QThread::msleep(20);
    }
    const auto before = dataFiles();
    EXPECT_TRUE(stepsAside(start()));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(dataFiles(), before); // the later start never touched the history

    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished());
    QProcess& next = start();
    // It takes over instead of asking the dead instance: it keeps running.
    EXPECT_FALSE(next.waitForFinished(3000));
    EXPECT_TRUE(stepsAside(start()));
    EXPECT_EQ(next.state(), QProcess::Running);
    for (auto& process : processes) {
        process->kill();
        process->waitForFinished();
    }
}

} // namespace
} // namespace bw
