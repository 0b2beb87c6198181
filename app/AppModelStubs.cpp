#include "app/AppModel.h"
#include "app/Launch.h"

// First cut: the operations exist so that screens compile against them.
namespace bw {
void AppModel::importBuild(const QString&) {}
void AppModel::loadStagedPreview() {}
void AppModel::setScreenshot(const QString&, ScreenshotPrompt) {}
void AppModel::removeScreenshot(ScreenshotPrompt) {}
void AppModel::clearStagedBuild() {}
void AppModel::resetForNewScan() {}
void AppModel::startScan(bool) {}
void AppModel::cancelScan() {}
void AppModel::openReport(const ScanReport&) {}
void AppModel::deleteReport(const QUuid&) {}
void AppModel::deleteReports(const SidebarApp&) {}
void AppModel::clearReportHistory() {}
void AppModel::revealReport(const ScanReport&) const {}
void AppModel::exportReport(const ScanReport&, const QString&) {}
bool AppModel::applyMarketingScene() {
    return false;
}
double minimumPresentationDuration(const QStringList&, const QProcessEnvironment&) {
    return 36;
}
std::unique_ptr<AppModel> launchApplication(const LaunchSettings&) {
    return nullptr;
}
} // namespace bw
