#include "app/AppModel.h"
#include "app/GuidedSolutions.h"
#include "model/ReportMarkdown.h"
#include "model/ReportStoreError.h"
#include "platform/fs/AtomicFile.h"

namespace bw {

using namespace Qt::Literals::StringLiterals;

void AppModel::persistReport(std::function<void(std::optional<QString> failure)> done) {
    if (!canPersistReports_) {
        done(ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore)
                 .description());
        return;
    }
    // One writer, so that the history on disk follows the order of the changes.
    historyWriter_.post([this, services = services_, reports = reports_, done = std::move(done)] {
        std::optional<QString> failure;
        try {
            services->reportStore.save(reports);
        } catch (const std::exception& error) {
            failure = errorDescription(error);
        }
        postTo(this, [this, failure, done] {
            if (!failure) {
                setCanPersistReports(true);
            }
            done(failure);
        });
    });
}

void AppModel::changeHistory(std::vector<ScanReport> changed, const QString& failurePrefix,
                             std::function<void()> succeeded) {
    std::vector<ScanReport> previous = reports_;
    setReports(changed);
    persistReport([this, previous = std::move(previous), failurePrefix,
                   succeeded = std::move(succeeded)](const std::optional<QString>& failure) {
        if (failure) {
            setReports(previous);
            setReportNotice(failurePrefix + *failure);
            return;
        }
        succeeded();
    });
}

void AppModel::openReport(const ScanReport& report) {
    // It would replace the screen and the phase of the scan that is running.
    if (scanPhase_.isBusy()) {
        return;
    }
    setReport(report);
    setStaged(std::nullopt);
    setScreenshotSlots({});
    setScreenshotsAreStoreListing(false);
    setImportMessage(std::nullopt);
    setReportNotice(std::nullopt);
    setFindingFilter(std::nullopt);
    setSelectedFindingID(std::nullopt);
    setScanPhase(ScanPhase::finished());
    setSection(AppSection::scan);
}

void AppModel::deleteReport(const QUuid& id) {
    std::vector<ScanReport> remaining = reports_;
    std::erase_if(remaining, [&](const ScanReport& report) { return report.id == id; });
    changeHistory(std::move(remaining), u"The report could not be deleted from disk. "_s,
                  [this, id] {
                      if (report_ && report_->id == id) {
                          resetForNewScan();
                      }
                  });
}

void AppModel::deleteReports(const SidebarApp& app) {
    const QString bundleIdentifier = app.bundleIdentifier;
    std::vector<ScanReport> remaining = reports_;
    std::erase_if(remaining, [&](const ScanReport& report) {
        return report.metadata.bundleIdentifier == bundleIdentifier;
    });
    changeHistory(std::move(remaining), u"These reports could not be deleted from disk. "_s,
                  [this, bundleIdentifier] {
                      if (report_ && report_->metadata.bundleIdentifier == bundleIdentifier) {
                          resetForNewScan();
                      }
                  });
}

void AppModel::clearReportHistory() {
    changeHistory({}, u"Report history could not be cleared from disk. "_s, [this] {
        setReport(std::nullopt);
        setFindingFilter(std::nullopt);
        setSelectedFindingID(std::nullopt);
    });
}

void AppModel::revealReport(const ScanReport& report) const {
    if (!report.sourcePath.isEmpty()) {
        options_.revealer(report.sourcePath);
    }
}

void AppModel::exportReport(const ScanReport& report, const QString& path) {
    workers_.start([this, markdown = ReportMarkdown::render(report), path](std::stop_token) {
        try {
            fs::writeFileAtomically(path, markdown.toUtf8());
        } catch (const std::exception& error) {
            postTo(this, [this, failure = errorDescription(error)] {
                setReportNotice(u"The report could not be exported. "_s + failure);
            });
        }
    });
}

} // namespace bw
