#include "app/Launch.h"

#include "app/DesktopRevealer.h"
#include "model/MarketingMode.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <future>

namespace bw {

namespace {

// Newest first; reports of one date keep their stored order.
std::vector<ScanReport> newestFirst(std::vector<ScanReport> reports) {
    std::ranges::stable_sort(reports, [](const ScanReport& a, const ScanReport& b) {
        return a.createdAt > b.createdAt;
    });
    return reports;
}

// Only whether the item exists counts: reading it may ask to unlock the keyring, which the scan
// does when it needs the key. A keychain that fails or does not answer soon counts as not
// connected.
bool hasCredentials(const AppStoreConnectService& service) {
    return service.keychain().contains(service.credentialAccount(), std::chrono::seconds(3));
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

std::unique_ptr<AppModel> launchApplication(const LaunchSettings& settings) {
    const QUrl backendURL = settings.backendURL.value_or(BerthwatchBackend::resolveBaseURL());
    auto services = std::make_shared<const AppServices>(AppServices{
        BuildScanner(settings.toolDirectory),
        ScreenshotAuditService(),
        ReportStore(settings.historyFolder.value_or(defaultHistoryFolder())),
        BerthwatchBackend(backendURL),
        settings.ascService.value_or(AppStoreConnectService()),
        ScreenshotAIService(BerthwatchBackend(backendURL), ScreenshotAIService::defaultBatchSize),
    });
    // The keychain's daemon may be started on demand: it is asked while the history loads.
    std::future<bool> connected =
        std::async(std::launch::async, [services] { return hasCredentials(services->ascService); });
    ReportStore::LoadResult history = services->reportStore.load();
    history.reports = newestFirst(std::move(history.reports));

    AppModelOptions options;
    options.minimumPresentationDuration =
        minimumPresentationDuration(settings.arguments, settings.environment);
    options.clock = settings.clock;
    options.arguments = settings.arguments;
    options.environment = settings.environment;
    options.revealer = settings.revealer ? settings.revealer : revealInFileManager;
    return std::make_unique<AppModel>(std::move(services), std::move(history), connected.get(),
                                      std::move(options));
}

} // namespace bw
