#include "app/Launch.h"

#include "app/DesktopRevealer.h"
#include "model/MarketingMode.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <future>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace bw {

namespace {

// Newest first; reports of one date keep their stored order. A saved history is in that order
// already, which takes one look instead of moving every report.
std::vector<ScanReport> newestFirst(std::vector<ScanReport> reports) {
    const auto newer = [](const ScanReport& a, const ScanReport& b) {
        return a.createdAt > b.createdAt;
    };
    if (!std::ranges::is_sorted(reports, newer)) {
        std::ranges::stable_sort(reports, newer);
    }
    return reports;
}

// An item counts when its data is text; in a locked keyring only whether it exists, since reading
// it would ask to unlock the keyring, which the scan does when it needs the key. A keychain that
// fails or does not answer soon counts as not connected.
bool hasCredentials(const AppStoreConnectService& service) {
    return service.keychain().holdsText(service.credentialAccount(), std::chrono::seconds(3));
}

} // namespace

// Named for the product alone ("~/.local/share/Berthwatch"): the application data location would
// add the organisation the settings are filed under as a second "Berthwatch".
QString defaultHistoryFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("Berthwatch"));
}

double minimumPresentationDuration(const QStringList& arguments,
                                   const QProcessEnvironment& environment) {
    if (!marketing_mode::isEnabled(arguments, environment)) {
        return 36.0;
    }
    return marketing_mode::scene(arguments, environment) == MarketingScene::showcase ? 6.0 : 12.0;
}

HistoryRead startHistoryRead(ReportStore store) {
    std::future<ReportStore::LoadResult> reports = std::async(std::launch::async, [store] {
        ReportStore::LoadResult history = store.load();
        history.reports = newestFirst(std::move(history.reports));
        return history;
    });
    return {std::move(store), std::move(reports)};
}

StartedLaunch startApplication(const LaunchSettings& settings) {
    return startApplication(
        settings,
        startHistoryRead(ReportStore(settings.historyFolder.value_or(defaultHistoryFolder()))));
}

StartedLaunch startApplication(const LaunchSettings& settings, HistoryRead history) {
    const QUrl backendURL = settings.backendURL.value_or(BerthwatchBackend::resolveBaseURL());
    auto services = std::make_shared<const AppServices>(AppServices{
        BuildScanner(settings.toolDirectory),
        ScreenshotAuditService(),
        std::move(history.store),
        BerthwatchBackend(backendURL),
        settings.ascService.value_or(AppStoreConnectService()),
        ScreenshotAIService(BerthwatchBackend(backendURL), ScreenshotAIService::defaultBatchSize),
    });
    StartedLaunch launch;
    launch.history = std::move(history.reports);
    // The keychain's daemon may be started on demand.
    KeychainStore::prepareForOtherThreads();
    launch.isASCConnected =
        std::async(std::launch::async, [services] { return hasCredentials(services->ascService); });

    AppModelOptions options;
    options.minimumPresentationDuration =
        minimumPresentationDuration(settings.arguments, settings.environment);
    options.clock = settings.clock;
    options.demonstration.arguments = settings.arguments;
    options.demonstration.environment = settings.environment;
    options.revealer = settings.revealer ? settings.revealer : revealInFileManager;
    launch.model = std::make_unique<AppModel>(std::move(services), std::move(options));
    return launch;
}

std::unique_ptr<AppModel> finishLaunch(StartedLaunch launch) {
    ReportStore::LoadResult history = launch.history.get();
    launch.model->receiveLaunchReads(std::move(history), launch.isASCConnected.get());
#ifdef __GLIBC__
    // Decoding a long history leaves the threads' heaps full of the freed document; handed
    // back once the window has drawn, it does not stay resident for the life of the process.
    QTimer::singleShot(std::chrono::seconds(1), [] { malloc_trim(0); });
#endif
    return std::move(launch.model);
}

std::unique_ptr<AppModel> launchApplication(const LaunchSettings& settings) {
    return finishLaunch(startApplication(settings));
}

} // namespace bw
