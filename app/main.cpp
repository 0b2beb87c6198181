// The berthwatch program: one window per user session, over the one application model.

#include "app/Launch.h"
#include "app/UpdateController.h"
#include "app/UpdateDialogPresenter.h"
#include "platform/clock/SystemClock.h"
#include "platform/instance/SingleInstance.h"
#include "services/info/ApplicationInfo.h"
#include "ui/design/Design.h"
#include "ui/window/MainWindow.h"
#include "ui/window/WindowScreens.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Berthwatch"));
    QCoreApplication::setApplicationName(QStringLiteral("Berthwatch"));

    // Before the history is read: a second instance would save its own idea of it over ours.
    bw::SingleInstance instance;
    if (!instance.claim()) {
        return 0;
    }

    // The history is read while the design and the window are built; the window shows once it
    // is in, so the first frame already lists it.
    bw::StartedLaunch launch = bw::startApplication();
    bw::AppModel& model = *launch.model;
    bw::design::installDesign(application);

    const bw::ApplicationInfo& info = bw::ApplicationInfo::main();
    QSettings settings;
    bw::UpdateDialogPresenter presenter(
        info.string(QStringLiteral("CFBundleShortVersionString")).value_or(QString()));
    std::unique_ptr<bw::UpdateController> updates = bw::UpdateController::fromApplicationInfo(
        info, {bw::SystemClock::shared(), settings, presenter});

    bw::window::MainWindow window(model, updates.get(),
                                  bw::window::windowSetup(model, updates.get()));
    const std::unique_ptr<bw::AppModel> launched = bw::finishLaunch(std::move(launch));
    QObject::connect(&instance, &bw::SingleInstance::activationRequested, &window,
                     &bw::window::MainWindow::bringForward);
    window.show();
    return application.exec();
}
