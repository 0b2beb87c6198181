#include "tests/app/VirtualDisplay.h"
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

// A command line it does not take, or no display to open the window on (none named, or none
// that answers): the program says so on one line (and gives the usage for a command line) and
// ends before taking the instance lock, reading the history or sweeping the temporary folder.
// A platform named in QT_QPA_PLATFORM or with Qt's -platform needs no display, and Qt's own
// options reach Qt.
TEST(ProgramCommandLine, RefusalsEndBeforeAnythingStarts) {
    test::TestFolder folder;
    const QString abandoned =
        folder.tempDirectory() + QStringLiteral("/Berthwatch-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    QDir().mkpath(abandoned);
    const QString runtime = folder.makeFolder(QStringLiteral("run"));
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        base.remove(QString::fromLatin1(name));
    }
    base.insert(QStringLiteral("HOME"), folder.makeFolder(QStringLiteral("home")));
    base.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.makeFolder(QStringLiteral("c")));
    base.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    base.insert(QStringLiteral("TMPDIR"), folder.tempDirectory());
    const QString unanswered = test::VirtualDisplay::unusedName();
    const struct {
        QString options;
        const char* platform;
        std::pair<QString, QString> display;
        int status;
        QString printed;
    } cases[] = {
        {"--bogus", "offscreen", {}, 2, "^berthwatch: unknown option '--bogus'\nUsage: berthwatch"},
        {"-style Fusion --bogus", "offscreen", {}, 2, "^berthwatch: unknown option '--bogus'\n"},
        {{}, nullptr, {}, 1, "^[^\n]*desktop session[^\n]*DISPLAY[^\n]*\n$"},
        {{}, "xcb", {}, 1, "^[^\n]*desktop session[^\n]*DISPLAY[^\n]*\n$"},
        {{}, nullptr, {"DISPLAY", unanswered}, 1, "^[^\n]*display " + unanswered + ";[^\n]*\n$"},
        {"-display " + unanswered, nullptr, {}, 1, "^[^\n]*display " + unanswered + ";[^\n]*\n$"},
        {{},
         nullptr,
         {"WAYLAND_DISPLAY", "wayland-9"},
         1,
         "^[^\n]*wayland-9 \\(Wayland\\)[^\n]*\n$"},
        {"--marketing-scene=report", "offscreen", {}, -1, ""},
        {"-platform offscreen -style Fusion -reverse -session 1a2b_3c", nullptr, {}, -1, ""},
    };
    for (const auto& c : cases) {
        const std::string trace = c.options.toStdString() + " | " + c.display.second.toStdString();
        QProcessEnvironment environment = base;
        if (c.platform) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(c.platform));
        }
        if (!c.display.first.isEmpty()) {
            environment.insert(c.display.first, c.display.second);
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BW_PROGRAM), c.options.split(u' ', Qt::SkipEmptyParts));
        if (c.status < 0) {
            // Starts: it listens for later starts, and the sweep takes the killed run's folder.
            EXPECT_TRUE(test::waitFor([&] { return !QFileInfo::exists(abandoned); }, 60)) << trace;
            EXPECT_TRUE(test::waitFor(
                [&] { return QFileInfo::exists(runtime + QStringLiteral("/berthwatch.socket")); },
                60))
                << trace;
            process.kill();
            process.waitForFinished();
            // For the next start: another killed run's folder, and no socket left listening.
            QDir().mkpath(abandoned);
            QFile::remove(runtime + QStringLiteral("/berthwatch.socket"));
            continue;
        }
        ASSERT_TRUE(process.waitForFinished(30000)) << trace;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << trace;
        EXPECT_EQ(process.exitCode(), c.status) << trace;
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty()) << trace;
        const QString printed = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_TRUE(printed.contains(QRegularExpression(c.printed))) << printed.toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("data")))) << trace;
        EXPECT_TRUE(QDir(runtime).isEmpty()) << trace;
        EXPECT_TRUE(QFileInfo::exists(abandoned)) << trace;
    }
}

} // namespace
} // namespace bw
