#include "tests/app/ModelHarness.h"

#include "tests/support/ImageFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace bw::test {

using namespace Qt::Literals::StringLiterals;

QString fixtureBuild(const QString& name) {
    return QStringLiteral(BW_BUILD_FIXTURES_DIR "/") + name;
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
    QDeadlineTimer deadline(qint64(seconds * 1000));
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

PhaseRecorder::PhaseRecorder(AppModel& model) {
    QObject::connect(&model, &AppModel::scanPhaseChanged, &model,
                     [this, &model] { phases_.push_back(model.scanPhase()); });
}

bool isAt(const AppModel& model, const QString& message) {
    const auto* scanning = std::get_if<ScanPhase::Scanning>(&model.scanPhase().state);
    return scanning && scanning->message == message;
}

std::vector<QString> PhaseRecorder::messages() const {
    std::vector<QString> result;
    for (const ScanPhase& phase : phases_) {
        const auto* scanning = std::get_if<ScanPhase::Scanning>(&phase.state);
        result.push_back(scanning ? scanning->message : u"-"_s);
    }
    return result;
}

ModelHarness::ModelHarness() : history(folder.makeFolder(u"history"_s)) {
    bypassProxies();
    launch();
}

AppModel& ModelHarness::launch(const QStringList& arguments,
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
    model_.reset();
    model_ = launchApplication(settings);
    return *model_;
}

QString ModelHarness::screenshot(const QString& name) const {
    return folder.write(name, pngData(quadrantImage(QSize(1320, 2868))));
}

void ModelHarness::stage(const QString& build) {
    model_->importBuild(build);
    waitUntil([this] { return !model_->isStagedPreviewLoading(); });
}

} // namespace bw::test
