#include "app/AppModel.h"

#include "app/DesktopRevealer.h"
#include "platform/clock/SystemClock.h"

namespace bw {

using namespace Qt::Literals::StringLiterals;

namespace {

// Writes `value` and notifies only when it differs from what is held.
template <typename T>
void assign(AppModel* model, T& field, const T& value, void (AppModel::*changed)()) {
    if (field == value) {
        return;
    }
    field = value;
    emit(model->*changed)();
}

} // namespace

AppModel::AppModel(std::shared_ptr<const AppServices> services, ReportStore::LoadResult history,
                   bool isASCConnected, AppModelOptions options, QObject* parent)
    : QObject(parent), services_(std::move(services)), options_(std::move(options)),
      clock_(options_.clock ? options_.clock : &SystemClock::shared()),
      reports_(std::move(history.reports)), importMessage_(history.notice),
      reportNotice_(history.notice), isASCConnected_(isASCConnected),
      ascStatusMessage_(isASCConnected ? u"Credentials saved in Keychain"_s : u"Not connected"_s),
      canPersistReports_(history.canPersist),
      writtenHistory_(std::make_shared<std::vector<ScanReport>>(reports_)) {
    if (!options_.revealer) {
        options_.revealer = revealInFileManager;
    }
}

AppModel::~AppModel() = default;

QStringList AppModel::selectedScreenshotURLs() const {
    QStringList urls;
    // The map is ordered by area, in case order.
    for (const auto& [prompt, path] : screenshotSlots_) {
        urls.append(path);
    }
    return urls;
}

void AppModel::setSection(AppSection value) {
    assign(this, section_, value, &AppModel::sectionChanged);
}
void AppModel::setReport(const std::optional<ScanReport>& value) {
    assign(this, report_, value, &AppModel::reportChanged);
}
void AppModel::setScreenshotsAreStoreListing(bool value) {
    assign(this, screenshotsAreStoreListing_, value, &AppModel::screenshotsAreStoreListingChanged);
}
void AppModel::setImportMessage(const std::optional<QString>& value) {
    assign(this, importMessage_, value, &AppModel::importMessageChanged);
}
void AppModel::setImportRejection(const std::optional<ImportRejection>& value) {
    assign(this, importRejection_, value, &AppModel::importRejectionChanged);
}
void AppModel::setBuildDropTargeted(bool value) {
    assign(this, isBuildDropTargeted_, value, &AppModel::isBuildDropTargetedChanged);
}
void AppModel::setBuildImportLaunching(bool value) {
    assign(this, isBuildImportLaunching_, value, &AppModel::isBuildImportLaunchingChanged);
}
void AppModel::setFindingFilter(const std::optional<FindingSeverity>& value) {
    assign(this, findingFilter_, value, &AppModel::findingFilterChanged);
}
void AppModel::setSelectedFindingID(const std::optional<QString>& value) {
    assign(this, selectedFindingID_, value, &AppModel::selectedFindingIDChanged);
}
void AppModel::setStaged(const std::optional<StagedBuild>& value) {
    assign(this, staged_, value, &AppModel::stagedChanged);
}
void AppModel::setStagedPreviewLoading(bool value) {
    assign(this, isStagedPreviewLoading_, value, &AppModel::isStagedPreviewLoadingChanged);
}
void AppModel::setReports(const std::vector<ScanReport>& value) {
    assign(this, reports_, value, &AppModel::reportsChanged);
}
void AppModel::setScreenshotSlots(const ScreenshotSlots& value) {
    assign(this, screenshotSlots_, value, &AppModel::screenshotSlotsChanged);
}
void AppModel::setScanPhase(const ScanPhase& value) {
    assign(this, scanPhase_, value, &AppModel::scanPhaseChanged);
}
void AppModel::setUpdateRequired(bool value) {
    assign(this, isUpdateRequired_, value, &AppModel::isUpdateRequiredChanged);
}
void AppModel::setReportNotice(const std::optional<QString>& value) {
    assign(this, reportNotice_, value, &AppModel::reportNoticeChanged);
}
void AppModel::setScanCancellationAvailable(bool value) {
    assign(this, isScanCancellationAvailable_, value,
           &AppModel::isScanCancellationAvailableChanged);
}
void AppModel::setHasStarted(bool value) {
    assign(this, hasStarted_, value, &AppModel::hasStartedChanged);
}
void AppModel::setCanPersistReports(bool value) {
    assign(this, canPersistReports_, value, &AppModel::canPersistReportsChanged);
}
void AppModel::setScanRunning(bool value) {
    assign(this, isScanRunning_, value, &AppModel::isScanRunningChanged);
}

void AppModel::start() {
    if (hasStarted_ || applyMarketingScene()) {
        return;
    }
    setHasStarted(true);
}

} // namespace bw
