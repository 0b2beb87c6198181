#pragma once

#include "app/AppModelTypes.h"
#include "app/AppServices.h"
#include "app/DemonstrationDirector.h"
#include "app/HistoryWriter.h"
#include "app/ScanJob.h"
#include "app/WorkerTasks.h"
#include "model/MarketingScene.h"
#include "model/SidebarApp.h"
#include "platform/clock/Clock.h"

#include <QObject>
#include <functional>
#include <memory>

namespace bw {

// How the model behaves beyond its services; the launch sequence fills it, tests replace parts.
struct AppModelOptions {
    // The least time the progress screen stays up, from the start of a scan to "Report ready".
    double minimumPresentationDuration = 36.0;
    // Null means the real clock.
    Clock* clock = nullptr;
    // The launch switches and the files of the demonstration scenes.
    DemonstrationSources demonstration;
    // Shows a file in the desktop's file manager; null means the desktop's own.
    std::function<void(const QString& path)> revealer;
};

// The application's one state object, on the main thread. Every observable value is a property
// whose signal fires only when a write changes it. Work that takes time (previews, scans, saving
// the history, exports) runs on worker threads; the results come back as queued calls and are
// dropped when their task was superseded or cancelled.
class AppModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bw::AppSection section READ section WRITE setSection NOTIFY sectionChanged)
    Q_PROPERTY(
        std::optional<bw::ScanReport> report READ report WRITE setReport NOTIFY reportChanged)
    Q_PROPERTY(std::optional<bw::StagedBuild> staged READ staged NOTIFY stagedChanged)
    Q_PROPERTY(bool isStagedPreviewLoading READ isStagedPreviewLoading NOTIFY
                   isStagedPreviewLoadingChanged)
    Q_PROPERTY(std::vector<bw::ScanReport> reports READ reports NOTIFY reportsChanged)
    Q_PROPERTY(
        bw::ScreenshotSlots screenshotSlots READ screenshotSlots NOTIFY screenshotSlotsChanged)
    Q_PROPERTY(QStringList selectedScreenshotURLs READ selectedScreenshotURLs NOTIFY
                   screenshotSlotsChanged)
    Q_PROPERTY(bool screenshotsAreStoreListing READ screenshotsAreStoreListing WRITE
                   setScreenshotsAreStoreListing NOTIFY screenshotsAreStoreListingChanged)
    Q_PROPERTY(std::optional<QString> importMessage READ importMessage WRITE setImportMessage NOTIFY
                   importMessageChanged)
    Q_PROPERTY(std::optional<bw::ImportRejection> importRejection READ importRejection WRITE
                   setImportRejection NOTIFY importRejectionChanged)
    Q_PROPERTY(
        int importRejectionCount READ importRejectionCount NOTIFY importRejectionCountChanged)
    Q_PROPERTY(bool isBuildDropTargeted READ isBuildDropTargeted WRITE setBuildDropTargeted NOTIFY
                   isBuildDropTargetedChanged)
    Q_PROPERTY(bool isBuildImportLaunching READ isBuildImportLaunching WRITE setBuildImportLaunching
                   NOTIFY isBuildImportLaunchingChanged)
    Q_PROPERTY(std::optional<bw::FindingSeverity> findingFilter READ findingFilter WRITE
                   setFindingFilter NOTIFY findingFilterChanged)
    Q_PROPERTY(std::optional<QString> selectedFindingID READ selectedFindingID WRITE
                   setSelectedFindingID NOTIFY selectedFindingIDChanged)
    Q_PROPERTY(bw::ScanPhase scanPhase READ scanPhase NOTIFY scanPhaseChanged)
    Q_PROPERTY(bool isUpdateRequired READ isUpdateRequired NOTIFY isUpdateRequiredChanged)
    Q_PROPERTY(std::optional<QString> reportNotice READ reportNotice NOTIFY reportNoticeChanged)
    Q_PROPERTY(bool isScanCancellationAvailable READ isScanCancellationAvailable NOTIFY
                   isScanCancellationAvailableChanged)
    Q_PROPERTY(bool isASCConnected READ isASCConnected NOTIFY isASCConnectedChanged)
    Q_PROPERTY(QString ascStatusMessage READ ascStatusMessage NOTIFY ascStatusMessageChanged)
    Q_PROPERTY(bool hasStarted READ hasStarted NOTIFY hasStartedChanged)
    Q_PROPERTY(bool canPersistReports READ canPersistReports NOTIFY canPersistReportsChanged)
    Q_PROPERTY(bool isScanRunning READ isScanRunning NOTIFY isScanRunningChanged)

public:
    // `history` is what the report store loaded at launch; `isASCConnected` whether the App Store
    // Connect credentials were found.
    AppModel(std::shared_ptr<const AppServices> services, ReportStore::LoadResult history,
             bool isASCConnected, AppModelOptions options, QObject* parent = nullptr);
    // A model whose history and credentials check are still being read; nothing is saved
    // until receiveLaunchReads has given them.
    AppModel(std::shared_ptr<const AppServices> services, AppModelOptions options,
             QObject* parent = nullptr);
    ~AppModel() override;

    // What the launch read: the history as the report store loaded it, newest first, and
    // whether the App Store Connect credentials were found. Once, before the window shows.
    void receiveLaunchReads(ReportStore::LoadResult history, bool isASCConnected);

    // Observable state.
    AppSection section() const { return section_; }
    const std::optional<ScanReport>& report() const { return report_; }
    const std::optional<StagedBuild>& staged() const { return staged_; }
    bool isStagedPreviewLoading() const { return isStagedPreviewLoading_; }
    const std::vector<ScanReport>& reports() const { return *reports_; }
    const ScreenshotSlots& screenshotSlots() const { return screenshotSlots_; }
    bool screenshotsAreStoreListing() const { return screenshotsAreStoreListing_; }
    const std::optional<QString>& importMessage() const { return importMessage_; }
    const std::optional<ImportRejection>& importRejection() const { return importRejection_; }
    int importRejectionCount() const { return importRejectionCount_; }
    bool isBuildDropTargeted() const { return isBuildDropTargeted_; }
    bool isBuildImportLaunching() const { return isBuildImportLaunching_; }
    const std::optional<FindingSeverity>& findingFilter() const { return findingFilter_; }
    const std::optional<QString>& selectedFindingID() const { return selectedFindingID_; }
    const ScanPhase& scanPhase() const { return scanPhase_; }
    bool isUpdateRequired() const { return isUpdateRequired_; }
    const std::optional<QString>& reportNotice() const { return reportNotice_; }
    bool isScanCancellationAvailable() const { return isScanCancellationAvailable_; }
    bool isASCConnected() const { return isASCConnected_; }
    const QString& ascStatusMessage() const { return ascStatusMessage_; }
    bool hasStarted() const { return hasStarted_; }
    bool canPersistReports() const { return canPersistReports_; }
    // A scan task is held, from startScan until the run has ended.
    bool isScanRunning() const { return isScanRunning_; }

    // The screenshot files in review-area order (paywall, signIn, accountDeletion, permissions,
    // restore), areas without one skipped: what a scan sends for review.
    QStringList selectedScreenshotURLs() const;

    double minimumPresentationDuration() const { return options_.minimumPresentationDuration; }
    // Whether the launch switches ask for a demonstration, and its scene.
    bool isDemonstration() const { return director_.isDemonstration(); }
    MarketingScene marketingScene() const { return director_.scene(); }
    Clock& clock() const { return *clock_; }
    // The folder the report history is saved in (the settings screen shows and opens it).
    QString historyFolder() const { return services_->reportStore.location(); }

    // What the screens write directly.
    void setSection(AppSection value);
    void setReport(const std::optional<ScanReport>& value);
    void setScreenshotsAreStoreListing(bool value);
    void setImportMessage(const std::optional<QString>& value);
    void setImportRejection(const std::optional<ImportRejection>& value);
    void setBuildDropTargeted(bool value);
    void setBuildImportLaunching(bool value);
    void setFindingFilter(const std::optional<FindingSeverity>& value);
    void setSelectedFindingID(const std::optional<QString>& value);

    // Moving between the screens. Showing the scan section closes a shown report; the others
    // keep it for when the user comes back.
    void showSection(AppSection section);
    // Closes the shown report with its filter and opened finding.
    void closeReport();

    // Start-up: once per launch; sets up a demonstration scene when one was asked for.
    void start();

    // Import and staging. An import is refused while a scan is preparing or running.
    void importBuild(const QString& path);
    void loadStagedPreview();
    // A file setScreenshot does not take sets the import message instead.
    void setScreenshot(const QString& path, ScreenshotPrompt prompt);
    static bool takesScreenshot(const QString& path);
    void removeScreenshot(ScreenshotPrompt prompt);
    void clearStagedBuild();
    void resetForNewScan();

    // The scan of the staged build. Does nothing while a scan runs or an import is launching.
    void startScan(bool includesScreenshots);
    void cancelScan();

    // The report history.
    // Refused while a scan is preparing or running.
    void openReport(const ScanReport& report);
    void deleteReport(const QUuid& id);
    void deleteReports(const SidebarApp& app);
    void clearReportHistory();
    // Shows the scanned build in the file manager; nothing when the report records no path.
    void revealReport(const ScanReport& report) const;
    // Writes the report's Markdown to `path`; a failure becomes the report notice.
    void exportReport(const ScanReport& report, const QString& path);

    // Sets up the demonstration scene of the launch switches; false (nothing changed) when this
    // is no demonstration launch.
    bool applyMarketingScene() { return director_.apply(); }

signals:
    void sectionChanged();
    void reportChanged();
    void stagedChanged();
    void isStagedPreviewLoadingChanged();
    void reportsChanged();
    void screenshotSlotsChanged();
    void screenshotsAreStoreListingChanged();
    void importMessageChanged();
    void importRejectionChanged();
    void importRejectionCountChanged();
    void isBuildDropTargetedChanged();
    void isBuildImportLaunchingChanged();
    void findingFilterChanged();
    void selectedFindingIDChanged();
    void scanPhaseChanged();
    void isUpdateRequiredChanged();
    void reportNoticeChanged();
    void isScanCancellationAvailableChanged();
    void isASCConnectedChanged();
    void ascStatusMessageChanged();
    void hasStartedChanged();
    void canPersistReportsChanged();
    void isScanRunningChanged();

private:
    // The scenes write the state as a user's actions would.
    friend class DemonstrationDirector;

    void setStaged(const std::optional<StagedBuild>& value);
    void setStagedPreviewLoading(bool value);
    void setReports(std::vector<ScanReport> value);
    void shareReports(HistoryWriter::History value);
    void setScreenshotSlots(const ScreenshotSlots& value);
    void setScanPhase(const ScanPhase& value);
    void setUpdateRequired(bool value);
    void setReportNotice(const std::optional<QString>& value);
    void setScanCancellationAvailable(bool value);
    void setHasStarted(bool value);
    void setCanPersistReports(bool value);
    void setScanRunning(bool value);

    // Staging.
    void stageBuild(const QString& path);
    void applyPreview(std::uint64_t run, const QUuid& buildID,
                      const std::optional<StagedBuildPreview>& preview,
                      const std::optional<QString>& error);

    // The scan pipeline.
    void runScan(bool includesScreenshots);
    void scanStepStarted(std::uint64_t run, double progress, const QString& message);
    void scanJobEnded(std::uint64_t run, Clock::TimePoint start, ScanOutcome outcome);
    void endScanEarly(const QString& message, const ScanPhase& phase);
    void showReportReady(std::uint64_t run, const ScanReport& report);
    void publishReport(const ScanReport& report);

    // The history on disk. An edit changes the list in memory at once; the writer saves it
    // after every earlier one. `previous` is the list before it, put back when the save is
    // refused or fails; none keeps the edit. `answered` gets the failure's text.
    using HistoryAnswer = std::function<void(const std::optional<QString>& failure)>;
    void persistReport(HistoryWriter::Edit edit, std::optional<HistoryWriter::History> previous,
                       HistoryAnswer answered);
    void changeHistory(HistoryWriter::Edit edit, const QString& failurePrefix,
                       std::function<void()> succeeded);

    std::shared_ptr<const AppServices> services_;
    AppModelOptions options_;
    Clock* clock_;

    AppSection section_ = AppSection::scan;
    std::optional<ScanReport> report_;
    std::optional<StagedBuild> staged_;
    bool isStagedPreviewLoading_ = false;
    // Shared with the history writer: one copy of the history in memory, not one each.
    HistoryWriter::History reports_ = std::make_shared<const std::vector<ScanReport>>();
    ScreenshotSlots screenshotSlots_;
    bool screenshotsAreStoreListing_ = false;
    std::optional<QString> importMessage_;
    std::optional<ImportRejection> importRejection_;
    int importRejectionCount_ = 0;
    bool isBuildDropTargeted_ = false;
    bool isBuildImportLaunching_ = false;
    std::optional<FindingSeverity> findingFilter_;
    std::optional<QString> selectedFindingID_;
    ScanPhase scanPhase_ = ScanPhase::idle();
    bool isUpdateRequired_ = false;
    std::optional<QString> reportNotice_;
    bool isScanCancellationAvailable_ = false;
    bool isASCConnected_ = false;
    QString ascStatusMessage_;
    bool hasStarted_ = false;
    // Nothing is saved before the launch has read the history.
    bool canPersistReports_ = false;
    // Why the history load turned saving off, in its own words.
    QString persistRefusal_;
    bool isScanRunning_ = false;

    // The current scan run and preview; results of any other are dropped.
    std::uint64_t scanRun_ = 0;
    std::stop_source scanStop_;
    std::uint64_t previewRun_ = 0;
    std::stop_source previewStop_;

    DemonstrationDirector director_;
    // Last, so that their threads are stopped and joined before anything they report to goes.
    std::unique_ptr<HistoryWriter> historyWriter_;
    WorkerTasks workers_;
};

} // namespace bw
