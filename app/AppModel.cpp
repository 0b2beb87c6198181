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
    : AppModel(std::move(services), std::move(options), parent) {
    receiveLaunchReads(std::move(history), isASCConnected);
}

AppModel::AppModel(std::shared_ptr<const AppServices> services, AppModelOptions options,
                   QObject* parent)
    : QObject(parent), services_(std::move(services)), options_(std::move(options)),
      clock_(options_.clock ? options_.clock : &SystemClock::shared()),
      ascStatusMessage_(u"Not connected"_s), director_(*this, *clock_, options_.demonstration) {
    if (!options_.revealer) {
        options_.revealer = revealInFileManager;
    }
}

void AppModel::receiveLaunchReads(ReportStore::LoadResult history, bool isASCConnected) {
    setReports(std::move(history.reports));
    historyWriter_ = std::make_unique<HistoryWriter>(services_->reportStore, reports_, this);
    setImportMessage(history.notice);
    setReportNotice(history.notice);
    assign(this, isASCConnected_, isASCConnected, &AppModel::isASCConnectedChanged);
    assign(this, ascStatusMessage_,
           isASCConnected ? u"Credentials saved in Keychain"_s : u"Not connected"_s,
           &AppModel::ascStatusMessageChanged);
    persistRefusal_ = history.refusal;
    setCanPersistReports(history.canPersist);
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
void AppModel::setReports(std::vector<ScanReport> value) {
    shareReports(std::make_shared<const std::vector<ScanReport>>(std::move(value)));
}
void AppModel::shareReports(HistoryWriter::History value) {
    if (value == reports_ || *value == *reports_) {
        return;
    }
    reports_ = std::move(value);
    emit reportsChanged();
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

void AppModel::showSection(AppSection section) {
    if (section == AppSection::scan) {
        closeReport();
    }
    setSection(section);
}

void AppModel::closeReport() {
    setReport(std::nullopt);
    setFindingFilter(std::nullopt);
    setSelectedFindingID(std::nullopt);
}

void AppModel::start() {
    if (hasStarted_ || applyMarketingScene()) {
        return;
    }
    setHasStarted(true);
}

} // namespace bw
