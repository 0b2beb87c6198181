#include "app/AppModel.h"
#include "platform/core/BackgroundPriority.h"

namespace bw {

using namespace Qt::Literals::StringLiterals;

namespace {

// How long "Report ready" shows before the report replaces the progress screen.
constexpr double reportReadyPause = 0.7;

} // namespace

void AppModel::startScan(bool includesScreenshots) {
    // A build still in its launch animation is about to replace the staged one.
    if (isScanRunning_ || scanPhase_.isBusy() || isBuildImportLaunching_) {
        return;
    }
    setScanRunning(true);
    runScan(includesScreenshots);
}

void AppModel::runScan(bool includesScreenshots) {
    if (!staged_ || scanPhase_.isBusy()) {
        setScanRunning(false);
        return;
    }
    setScanCancellationAvailable(true);
    const Clock::TimePoint start = clock_->now();
    setScanPhase(ScanPhase::preparing());
    setImportMessage(std::nullopt);
    setReportNotice(std::nullopt);
    setUpdateRequired(false);

    const std::uint64_t run = ++scanRun_;
    ScanRequest request{staged_->path, isASCConnected_, screenshotSlots_,
                        screenshotsAreStoreListing_, includesScreenshots};
    scanStop_ = workers_.start([this, run, start, request = std::move(request),
                                services = services_](std::stop_token stop) {
        // The scan's threads and tools yield to the window, which keeps its frames meanwhile.
        lowerThreadPriority();
        const auto reportStep = [this, run](double progress, const QString& message) {
            postTo(this,
                   [this, run, progress, message] { scanStepStarted(run, progress, message); });
        };
        ScanOutcome outcome = runScanJob(*services, request, reportStep, stop);
        postTo(this, [this, run, start, outcome = std::move(outcome)] {
            scanJobEnded(run, start, outcome);
        });
    });
}

void AppModel::cancelScan() {
    if (!scanPhase_.isBusy() || !isScanCancellationAvailable_) {
        return;
    }
    scanStop_.request_stop();
    if (const auto* scanning = std::get_if<ScanPhase::Scanning>(&scanPhase_.state)) {
        setScanPhase(ScanPhase::scanning(scanning->progress, u"Cancelling scan"_s));
    }
}

void AppModel::scanStepStarted(std::uint64_t run, double progress, const QString& message) {
    // After a cancel the progress screen says so until the scan ends; it never moves on.
    if (run != scanRun_ || scanStop_.stop_requested()) {
        return;
    }
    setScanPhase(ScanPhase::scanning(progress, message));
}

void AppModel::scanJobEnded(std::uint64_t run, Clock::TimePoint start, ScanOutcome outcome) {
    if (run != scanRun_) {
        return;
    }
    if (outcome.kind == ScanOutcome::Kind::cancelled || scanStop_.stop_requested()) {
        endScanEarly(u"Scan cancelled."_s, ScanPhase::idle());
        return;
    }
    if (outcome.kind == ScanOutcome::Kind::failed) {
        if (outcome.outdatedApp) {
            setUpdateRequired(true);
        }
        endScanEarly(outcome.message, ScanPhase::failed(outcome.message));
        return;
    }
    setScanPhase(ScanPhase::scanning(0.99, u"Preparing report"_s));
    setScanCancellationAvailable(false);
    // Measured on the monotonic clock, so a change of the system's date changes nothing.
    const Clock::Duration remaining =
        seconds(minimumPresentationDuration()) - (clock_->now() - start);
    const ScanReport report = std::move(*outcome.report);
    if (remaining <= Clock::Duration::zero()) {
        showReportReady(run, report);
        return;
    }
    clock_->schedule(remaining, this, [this, run, report] { showReportReady(run, report); });
}

void AppModel::endScanEarly(const QString& message, const ScanPhase& phase) {
    setImportMessage(message);
    setScanPhase(phase);
    setScanCancellationAvailable(false);
    setScanRunning(false);
}

void AppModel::showReportReady(std::uint64_t run, const ScanReport& report) {
    if (run != scanRun_) {
        return;
    }
    setScanPhase(ScanPhase::scanning(1.0, u"Report ready"_s));
    clock_->schedule(seconds(reportReadyPause), this, [this, run, report] {
        if (run == scanRun_) {
            publishReport(report);
        }
    });
}

void AppModel::publishReport(const ScanReport& report) {
    const HistoryEdit publish = [report](std::vector<ScanReport> reports) {
        std::erase_if(reports, [&](const ScanReport& saved) { return saved.id == report.id; });
        reports.insert(reports.begin(), report);
        return reports;
    };
    setReports(publish(reports_));
    setReport(report);
    setScanPhase(ScanPhase::finished());
    // A report that cannot be saved stays on screen and in the list.
    persistReport(publish, std::nullopt, [this](const std::optional<QString>& failure) {
        if (failure) {
            setReportNotice(
                u"The review finished, but this report could not be saved on this computer. "_s +
                *failure);
        }
        setScanCancellationAvailable(false);
        setScanRunning(false);
    });
}

} // namespace bw
