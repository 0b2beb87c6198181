#include "tests/app/ModelHarness.h"

#include "tests/support/ImageFiles.h"

namespace bw::test {

using namespace Qt::Literals::StringLiterals;

QString fixtureBuild(const QString& name) {
    return QStringLiteral(BW_BUILD_FIXTURES_DIR "/") + name;
}

QString message(const ScanPhase& phase) {
    const auto* scanning = std::get_if<ScanPhase::Scanning>(&phase.state);
    return scanning ? scanning->message : u"-"_s;
}

PhaseRecorder::PhaseRecorder(AppModel& model) {
    QObject::connect(&model, &AppModel::scanPhaseChanged, &model,
                     [this, &model] { messages.push_back(message(model.scanPhase())); });
}

ModelHarness::ModelHarness(const QStringList& arguments)
    : history(folder.makeFolder(u"history"_s)) {
    bypassProxies();
    launch(arguments);
}

LaunchSettings ModelHarness::settings(const QStringList& arguments,
                                      std::optional<AppStoreConnectService> ascService) {
    LaunchSettings settings;
    settings.arguments = arguments;
    settings.environment = QProcessEnvironment();
    settings.historyFolder = history;
    settings.backendURL = backend.url();
    // A keychain service of its own, so that no test finds another test's credentials.
    settings.ascService = ascService.value_or(AppStoreConnectService(
        KeychainStore{u"app.berthwatch.tests"_s}, backend.url(), [] { return QDateTime(); }));
    settings.toolDirectory = tools;
    settings.clock = &clock;
    settings.revealer = [this](const QString& path) { revealed.push_back(path); };
    return settings;
}

AppModel& ModelHarness::launch(const QStringList& arguments,
                               std::optional<AppStoreConnectService> ascService) {
    return finish(start(arguments, std::move(ascService)));
}

StartedLaunch ModelHarness::start(const QStringList& arguments,
                                  std::optional<AppStoreConnectService> ascService) {
    quit();
    return startApplication(settings(arguments, std::move(ascService)));
}

AppModel& ModelHarness::finish(StartedLaunch launch) {
    model_ = finishLaunch(std::move(launch));
    return *model_;
}

void ModelHarness::quit() {
    model_.reset();
}

QString ModelHarness::screenshot(const QString& name) const {
    return folder.write(name, pngData(quadrantImage(QSize(1320, 2868))));
}

void ModelHarness::stage(const QString& build) {
    model_->importBuild(build);
    waitFor([this] { return !model_->isStagedPreviewLoading(); });
}

} // namespace bw::test
