#include "tests/app/VirtualDisplay.h"
#include "tests/support/TestFolder.h"
#include "tests/support/WaitFor.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace bw {
namespace {

qsizetype filesIn(const QString& folder) {
    qsizetype count = 0;
    for (QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories); files.hasNext();
         files.next()) {
        ++count;
    }
    return count;
}

// The program's user session on an X server of its own, with the work folder a killed run left
// in the temporary folder; each removal in a work folder is slowed.
struct Session {
    explicit Session(int abandonedFiles) {
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        environment.insert(QStringLiteral("HOME"), folder.makeFolder(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("XDG_DATA_HOME"),
                           folder.makeFolder(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           folder.makeFolder(QStringLiteral("c")));
        environment.insert(QStringLiteral("TMPDIR"), folder.tempDirectory());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), display.name());
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(BW_SLOW_REMOVAL));
        // A sanitizer runtime of its own library would otherwise refuse a library loaded before
        // it.
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) +
                               QStringLiteral(":verify_asan_link_order=0"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        for (int index = 0; index < abandonedFiles; ++index) {
            const QString path = abandoned + QStringLiteral("/%1/%2").arg(index / 100).arg(index);
            QDir().mkpath(QFileInfo(path).path());
            QFile(path).open(QIODevice::WriteOnly);
        }
    }

    void start(QProcess& process) const {
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BW_PROGRAM), {});
    }

    // Waits for the window of `process`; false when it ends first.
    bool showsWindowOf(const QProcess& process) const {
        test::waitFor(
            [&] {
                return display.showsWindow("Berthwatch") || process.state() == QProcess::NotRunning;
            },
            60);
        return display.showsWindow("Berthwatch");
    }

    // Closes the window as its close button does, again while it still shows, as a user would.
    bool closeWindow() const {
        const QDeadlineTimer deadline(60000);
        while (display.showsWindow("Berthwatch") && !deadline.hasExpired()) {
            display.closeWindow("Berthwatch");
            test::waitFor([&] { return !display.showsWindow("Berthwatch"); }, 2);
        }
        return !display.showsWindow("Berthwatch");
    }

    test::VirtualDisplay display;
    test::TestFolder folder;
    QString runtime = folder.makeFolder(QStringLiteral("run"));
    QString abandoned =
        folder.tempDirectory() + QStringLiteral("/Berthwatch-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

// Quitting while the start-up sweep still removes what a killed run left: the program ends at
// once, a start right after it shows its window, and that start finishes the sweep. A few
// thousand slowed removals last as long as a large build's.
TEST(Quit, MidSweepTheNextStartShowsItsWindow) {
    // At 5 ms a file, about 20 s of sweeping.
    Session session(4000);
    ASSERT_FALSE(session.display.name().isEmpty()) << "Xvfb did not start";

    QProcess first;
    QProcess second;
    for (QProcess* process : {&first, &second}) {
        process->setProcessChannelMode(QProcess::ForwardedChannels);
    }
    session.start(first);
    ASSERT_TRUE(session.showsWindowOf(first));
    ASSERT_TRUE(QFileInfo::exists(session.abandoned)) << "the sweep ended before the quit";

    // The second start follows the moment the window has gone.
    ASSERT_TRUE(session.closeWindow());
    QElapsedTimer sinceQuit;
    sinceQuit.start();
    session.start(second);
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    RecordProperty("secondsToQuit", std::to_string(sinceQuit.elapsed() / 1000.0));
    EXPECT_TRUE(session.showsWindowOf(second));
    EXPECT_EQ(second.state(), QProcess::Running) << "the second start did not stay";
    RecordProperty("secondsToSecondWindow", std::to_string(sinceQuit.elapsed() / 1000.0));
    // The second start goes on with the sweep the first left.
    const qsizetype left = filesIn(session.abandoned);
    EXPECT_GT(left, 0);
    EXPECT_TRUE(test::waitFor([&] { return filesIn(session.abandoned) < left; }, 60));
    second.kill();
    second.waitForFinished();
}

// Whether a file was opened since the watch began: how a start is seen to look at a lock.
class OpenWatch {
public:
    explicit OpenWatch(const QString& path) : events_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        ::inotify_add_watch(events_, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(events_); }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool opened() const {
        alignas(inotify_event) char events[4096];
        return ::read(events_, events, sizeof events) > 0;
    }

private:
    int events_;
};

// Starting again while the last instance is still quitting: its shutdown waits for the one
// removal its sweep is in the middle of, here held for as long as the test wants. The quitting
// instance no longer takes requests, and the start that found its lock held takes over once it
// has gone, instead of saying it did not answer.
TEST(Quit, AStartWhileTheLastInstanceQuitsTakesOver) {
    Session session(10);
    ASSERT_FALSE(session.display.name().isEmpty()) << "Xvfb did not start";
    const QString hold = session.folder.write(QStringLiteral("hold"), {});
    session.environment.insert(QStringLiteral("BW_REMOVAL_HOLD"), hold);

    QProcess first;
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    session.start(first);
    ASSERT_TRUE(session.showsWindowOf(first));
    ASSERT_TRUE(
        test::waitFor([&] { return QFileInfo::exists(hold + QStringLiteral(".reached")); }, 60));

    ASSERT_TRUE(session.closeWindow());
    const QString socket = session.runtime + QStringLiteral("/berthwatch.socket");
    const auto refused = [&] {
        QLocalSocket probe;
        probe.connectToServer(socket);
        return !probe.waitForConnected(1000);
    };
    // Each probe the instance leaves unanswered stays queued, so only one is made.
    test::waitFor([&] { return !QFileInfo::exists(socket); }, 10);
    EXPECT_TRUE(refused()) << "the quitting instance still takes requests";
    EXPECT_EQ(first.state(), QProcess::Running) << "the shutdown was not held";

    const OpenWatch lockWatch(session.runtime + QStringLiteral("/berthwatch.lock"));
    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    session.start(second);
    // The shutdown goes on once the second start has found the lock held.
    EXPECT_TRUE(test::waitFor([&] { return lockWatch.opened(); }, 60));
    QFile::remove(hold);
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);

    EXPECT_TRUE(session.showsWindowOf(second));
    EXPECT_EQ(second.state(), QProcess::Running) << "the second start did not stay";
    EXPECT_FALSE(refused()) << "the second start does not listen";
    second.kill();
    second.waitForFinished();
    const QByteArray printed = second.readAllStandardError();
    EXPECT_FALSE(printed.contains("did not answer")) << printed.toStdString();
}

} // namespace
} // namespace bw
