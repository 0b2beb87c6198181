// The berthwatch program: one window per user session, over the one application model.

#include "app/CommandLine.h"
#include "app/Program.h"
#include "platform/instance/SingleInstance.h"
#include "platform/keychain/SessionBus.h"
#include "services/info/ApplicationInfo.h"
#include "ui/design/Design.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << QString::fromLocal8Bit(argv[index]);
    }
    const bw::ApplicationInfo& info = bw::ApplicationInfo::main();
    if (const auto answer = bw::commandLineAnswer(
            arguments,
            info.string(QStringLiteral("CFBundleShortVersionString")).value_or(QString()))) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
    }
    bw::refuseSessionBusAutolaunch();
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Berthwatch"));
    QCoreApplication::setApplicationName(QStringLiteral("Berthwatch"));

    // Before the history is read: a second instance would save its own idea of it over ours.
    bw::SingleInstance instance;
    if (!instance.claim()) {
        return 0;
    }

    bw::design::installDesign(application);
    bw::Program program(instance);
    program.window().show();
    return application.exec();
}
