// The berthwatch program: one window per user session, over the one application model.

#include "app/CommandLine.h"
#include "app/DisplayConnection.h"
#include "app/Program.h"
#include "inspection/WorkFolders.h"
#include "platform/instance/SingleInstance.h"
#include "platform/keychain/SessionBus.h"
#include "services/info/ApplicationInfo.h"
#include "ui/design/Design.h"

#include <QApplication>
#include <QDir>
#include <QProcessEnvironment>
#include <cstdio>
#include <optional>
#include <thread>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments << QString::fromLocal8Bit(argv[index]);
    }
    const bw::ApplicationInfo& info = bw::ApplicationInfo::main();
    if (const auto answer = bw::commandLineAnswer(
            arguments,
            info.string(QStringLiteral("CFBundleShortVersionString")).value_or(QString()))) {
        std::fputs(answer->text.toLocal8Bit().constData(), answer->status == 0 ? stdout : stderr);
        return answer->status;
    }
    // Without a display that answers, the application object cannot be built (Qt aborts);
    // nothing is started before it is known there is one.
    if (const auto refusal = bw::desktopSessionRefusal(
            arguments, QProcessEnvironment::systemEnvironment(), bw::canConnect)) {
        std::fputs(refusal->toLocal8Bit().constData(), stderr);
        return 1;
    }
    bw::refuseSessionBusAutolaunch();
    // The one instance is settled and starts reading the history and the font configuration
    // before the application object is built, which takes a while. Only the one instance reads
    // the history (a second would save its own idea of it over ours), and a second, which only
    // hands over to the first, has no use for fonts.
    bw::SingleInstance instance;
    std::optional<bw::HistoryRead> history;
    // What killed runs left in the temporary folder goes on a thread of its own: a build's
    // extraction can be hundreds of thousands of files. A quit stops it between two files, before
    // the instance is let go; a later start finishes it.
    std::jthread sweep;
    const auto startOneInstanceWork = [&] {
        history = bw::startHistoryRead(bw::ReportStore(bw::defaultHistoryFolder()));
        bw::design::startReadingFontConfiguration();
        sweep = std::jthread([base = QDir::tempPath()](std::stop_token stop) {
            bw::work_folders::removeAbandoned(base, std::move(stop));
        });
    };
    if (instance.lock()) {
        startOneInstanceWork();
    }
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Berthwatch"));
    QCoreApplication::setApplicationName(QStringLiteral("Berthwatch"));
    if (!instance.claim()) {
        return 0;
    }
    // The lock was held at first, by an instance that has quit since.
    if (!history) {
        startOneInstanceWork();
    }

    // The window is built while the history is read; it shows once the history is in, so the
    // first frame already lists it.
    bw::StartedLaunch launch = bw::startApplication({}, std::move(history).value());
    bw::design::installDesign(application);
    bw::Program program(instance, std::move(launch));
    program.window().show();
    return application.exec();
}
