#include "tests/app/VirtualDisplay.h"
#include "tests/support/TestFolder.h"
#include "tests/support/WaitFor.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

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

// Quitting while the start-up sweep still removes what a killed run left: the program ends at
// once, a start right after it shows its window, and that start finishes the sweep. Each removal
// in a work folder is slowed, so a few thousand files last as long as a large build's.
TEST(Quit, MidSweepTheNextStartShowsItsWindow) {
    test::VirtualDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    test::TestFolder folder;
    const QString runtime = folder.makeFolder(QStringLiteral("run"));
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder.makeFolder(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.makeFolder(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.makeFolder(QStringLiteral("c")));
    environment.insert(QStringLiteral("TMPDIR"), folder.tempDirectory());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), display.name());
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(BW_SLOW_REMOVAL));
    // A sanitizer runtime of its own library would otherwise refuse a library loaded before it.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS")) +
                           QStringLiteral(":verify_asan_link_order=0"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));

    // At 5 ms a file, about 20 s of sweeping.
    const QString abandoned =
        folder.tempDirectory() + QStringLiteral("/Berthwatch-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    for (int index = 0; index < 4000; ++index) {
        const QString path = abandoned + QStringLiteral("/%1/%2").arg(index / 100).arg(index);
        QDir().mkpath(QFileInfo(path).path());
        QFile(path).open(QIODevice::WriteOnly);
    }

    QProcess first;
    QProcess second;
    for (QProcess* process : {&first, &second}) {
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
    }
    first.start(QStringLiteral(BW_PROGRAM), {});
    test::waitFor(
        [&] { return display.showsWindow("Berthwatch") || first.state() == QProcess::NotRunning; },
        60);
    ASSERT_TRUE(display.showsWindow("Berthwatch"));
    ASSERT_TRUE(QFileInfo::exists(abandoned)) << "the sweep ended before the quit";

    // A close that comes in the moment the window shows is now and then lost; a user closes
    // again. The second start follows the moment the window has gone.
    const QDeadlineTimer deadline(60000);
    while (display.showsWindow("Berthwatch") && !deadline.hasExpired()) {
        display.closeWindow("Berthwatch");
        test::waitFor([&] { return !display.showsWindow("Berthwatch"); }, 2);
    }
    ASSERT_FALSE(display.showsWindow("Berthwatch"));
    QElapsedTimer sinceQuit;
    sinceQuit.start();
    second.start(QStringLiteral(BW_PROGRAM), {});
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    RecordProperty("secondsToQuit", std::to_string(sinceQuit.elapsed() / 1000.0));
    EXPECT_TRUE(test::waitFor(
        [&] { return display.showsWindow("Berthwatch") || second.state() == QProcess::NotRunning; },
        60));
    EXPECT_EQ(second.state(), QProcess::Running) << "the second start did not stay";
    EXPECT_TRUE(display.showsWindow("Berthwatch"));
    RecordProperty("secondsToSecondWindow", std::to_string(sinceQuit.elapsed() / 1000.0));
    // The second start goes on with the sweep the first left.
    const qsizetype left = filesIn(abandoned);
    EXPECT_GT(left, 0);
    EXPECT_TRUE(test::waitFor([&] { return filesIn(abandoned) < left; }, 60));
    second.kill();
    second.waitForFinished();
}

} // namespace
} // namespace bw
