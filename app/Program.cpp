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
    : Program(instance, startApplication(settings)) {}

Program::Program(SingleInstance& instance, StartedLaunch launch)
    : presenter_(shownVersion()),
      updates_(UpdateController::fromApplicationInfo(
          ApplicationInfo::main(), {SystemClock::shared(), settings_, presenter_})),
      window_(std::make_unique<window::MainWindow>(
          *launch.model, updates_.get(), window::windowSetup(*launch.model, updates_.get()))) {
    model_ = finishLaunch(std::move(launch));
    QObject::connect(&instance, &SingleInstance::activationRequested, window_.get(),
                     &window::MainWindow::bringForward);
}

} // namespace bw
