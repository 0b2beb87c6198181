// Scans one artifact through the application model, as the window does, and prints the
// milliseconds from "Scan build" to the saved report on standard output, and those from the drop
// to the staged build's details on standard error. Time runs on a manual
// clock, so the minimum presentation takes none; the web service is a closed local port (its
// review fails at once) and App Store Connect is not connected.
//
//   bw-model-scan [--tools DIR] ARTIFACT

#include "app/Launch.h"
#include "platform/clock/ManualClock.h"
#include "platform/fs/TemporaryFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>

namespace {

QString defaultTools() {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../libexec/berthwatch"));
}

// Runs the event loop until `done` holds, checking whenever the model changes.
void waitFor(bw::AppModel& model, const std::function<bool()>& done) {
    QEventLoop loop;
    const auto check = [&] {
        if (done()) {
            loop.quit();
        }
    };
    QObject::connect(&model, &bw::AppModel::scanPhaseChanged, &loop, check);
    QObject::connect(&model, &bw::AppModel::isScanRunningChanged, &loop, check);
    QObject::connect(&model, &bw::AppModel::isStagedPreviewLoadingChanged, &loop, check);
    if (!done()) {
        loop.exec();
    }
}

bool isPreparingReport(const bw::AppModel& model) {
    const auto* scanning = std::get_if<bw::ScanPhase::Scanning>(&model.scanPhase().state);
    return scanning && scanning->progress == 0.99;
}

// Stages and scans `artifact` and prints the times; the exit status.
int scanThroughModel(const QString& tools, const QString& artifact) {
    const bw::fs::TemporaryFolder history(QStringLiteral("bw-model-scan-"));
    bw::ManualClock clock;
    bw::LaunchSettings settings;
    settings.arguments = {QStringLiteral("bw-model-scan")};
    settings.environment = QProcessEnvironment();
    settings.historyFolder = history.path();
    settings.backendURL = QUrl(QStringLiteral("http://127.0.0.1:9"));
    settings.ascService = bw::AppStoreConnectService(
        bw::KeychainStore{QStringLiteral("app.berthwatch.bench")},
        QUrl(QStringLiteral("http://127.0.0.1:9")), [] { return QDateTime(); });
    settings.toolDirectory = tools;
    settings.clock = &clock;
    const std::unique_ptr<bw::AppModel> model = bw::launchApplication(settings);

    QElapsedTimer elapsed;
    elapsed.start();
    model->importBuild(artifact);
    waitFor(*model, [&] { return !model->isStagedPreviewLoading(); });
    std::fprintf(stderr, "staged details in %lld ms\n", static_cast<long long>(elapsed.elapsed()));

    elapsed.restart();
    model->startScan(false);
    waitFor(*model, [&] { return isPreparingReport(*model) || !model->isScanRunning(); });
    clock.advance(bw::seconds(model->minimumPresentationDuration() + 0.7));
    waitFor(*model, [&] { return !model->isScanRunning(); });
    const qint64 milliseconds = elapsed.elapsed();
    if (!model->report()) {
        std::fprintf(stderr, "%s\n",
                     model->importMessage().value_or(QString()).toUtf8().constData());
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(milliseconds));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString tools = defaultTools();
    if (arguments.size() == 3 && arguments[0] == u"--tools") {
        tools = arguments[1];
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: bw-model-scan [--tools DIR] ARTIFACT\n");
        return 1;
    }

    const int status = scanThroughModel(QDir::cleanPath(tools), arguments[0]);
    // Each run's folders, its history's too, go before the next run.
    bw::fs::waitForBackgroundRemovals();
    return status;
}
