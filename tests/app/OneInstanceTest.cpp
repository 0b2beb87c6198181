#include "tests/support/FolderSnapshot.h"
#include "tests/support/TestFolder.h"
#include "tests/support/WaitFor.h"

#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>

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
    // Without a session bus, nothing may start one: a display is there for an autolaunch to
    // use, and a dbus-launch that leaves a mark comes first on the path.
    const QString autolaunched = folder.filePath(QStringLiteral("autolaunched"));
    const QString tools = folder.tools(
        {{QStringLiteral("dbus-launch"), "touch '" + autolaunched.toUtf8() + "'\nexit 1"}});
    environment.insert(QStringLiteral("PATH"), tools + u':' + environment.value("PATH"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));

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
    // The files of the data folder, but for the history lock the first instance holds only while
    // it loads (its folder the first instance may still be making).
    const auto dataFiles = [&] {
        auto files = test::snapshotFolder(data);
        std::erase_if(files, [](const auto& entry) {
            return entry.first.endsWith(u".lock") || entry.second == "/";
        });
        return files;
    };

    QProcess& first = start();
    // The running instance listens once it holds the lock; until then a later start waits.
    ASSERT_TRUE(test::waitFor(
        [&] { return QFileInfo::exists(runtime + QStringLiteral("/berthwatch.socket")); }, 30));
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
    EXPECT_FALSE(QFileInfo::exists(autolaunched));
}

// Help and the version are printed without a window: with no display to open one on, the program
// would fail instead.
TEST(ProgramCommandLine, HelpAndVersionPrintAndEndWithoutAWindow) {
    test::TestFolder folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
    const std::pair<const char*, const char*> cases[] = {
        {"--help", "--marketing-scene=NAME  play the demonstration scene NAME \\(drop, home, "
                   "scan, flow, showcase, screens, report\\)\n"},
        {"-h", "^Usage: berthwatch \\[OPTION\\]\n"},
        {"--version", "^Berthwatch \\d+\\.\\d+"},
    };
    for (const auto& [option, printed] : cases) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BW_PROGRAM), {QString::fromUtf8(option)});
        ASSERT_TRUE(process.waitForFinished(30000)) << option;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(process.exitCode(), 0) << option;
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardOutput())
                        .contains(QRegularExpression(QString::fromUtf8(printed))))
            << option;
        EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("data")))) << option;
    }
}

} // namespace
} // namespace bw
