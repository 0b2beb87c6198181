#include "app/Program.h"

#include "platform/clock/SystemClock.h"
#include "platform/instance/SingleInstance.h"
#include "services/info/ApplicationInfo.h"
#include "ui/window/WindowScreens.h"

namespace bw {

namespace {

QString shownVersion() {
    return ApplicationInfo::main()
        .string(QStringLiteral("CFBundleShortVersionString"))
        .value_or(QString());
}

} // namespace

Program::Program(SingleInstance& instance, const LaunchSettings& settings)
    : model_(launchApplication(settings)), presenter_(shownVersion()),
      updates_(UpdateController::fromApplicationInfo(
          ApplicationInfo::main(), {SystemClock::shared(), settings_, presenter_})),
      window_(std::make_unique<window::MainWindow>(*model_, updates_.get(),
                                                   window::windowSetup(*model_, updates_.get()))) {
    QObject::connect(&instance, &SingleInstance::activationRequested, window_.get(),
                     &window::MainWindow::bringForward);
}

} // namespace bw
