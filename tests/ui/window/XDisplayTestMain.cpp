#include "tests/app/VirtualDisplay.h"
#include "tests/ui/window/DragSource.h"
#include "ui/design/Design.h"

#include <QApplication>
#include <QProcess>
#include <cstring>
#include <gtest/gtest.h>

// Tests whose pointer is an X server's, as a user's is: the program runs them again on an X
// server of its own (Xvfb), as the platform is chosen once for the process. Where no server
// starts, they run on no display and skip.
int main(int argc, char** argv) {
    constexpr char displayVariable[] = "BW_TEST_X_DISPLAY";
    bool listing = false;
    for (int index = 1; index < argc; ++index) {
        listing = listing || std::strcmp(argv[index], "--gtest_list_tests") == 0;
    }
    if (!listing && !qEnvironmentVariableIsSet(displayVariable)) {
        QCoreApplication core(argc, argv);
        const bw::test::VirtualDisplay display;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(displayVariable), display.name());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), display.name().isEmpty()
                                                                  ? QStringLiteral("offscreen")
                                                                  : QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), display.name());
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        // No session bus, as without a display: none is started for this one on the side.
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
        QProcess tests;
        tests.setProcessEnvironment(environment);
        tests.setProcessChannelMode(QProcess::ForwardedChannels);
        tests.start(QCoreApplication::applicationFilePath(), core.arguments().mid(1));
        tests.waitForFinished(-1);
        return tests.exitStatus() == QProcess::NormalExit ? tests.exitCode() : 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || listing) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    if (const QString dragged = qEnvironmentVariable("BW_TEST_DRAG_SOURCE"); !dragged.isEmpty()) {
        return bw::window::test::runDragSource(dragged);
    }
    bw::design::installDesign(application);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
