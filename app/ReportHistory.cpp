#include "app/AppModel.h"
#include "app/ErrorDescription.h"
#include "model/ReportMarkdown.h"
#include "model/ReportStoreError.h"
#include "platform/fs/AtomicFile.h"

namespace bw {

using namespace Qt::Literals::StringLiterals;

void AppModel::persistReport(HistoryWriter::Edit edit,
                             std::optional<HistoryWriter::History> previous,
                             HistoryAnswer answered) {
    if (!canPersistReports_) {
        if (previous) {
            shareReports(*previous);
        }
        // A demonstration, which the load did not turn saving off for, refuses as the store does.
        answered(persistRefusal_.isEmpty()
                     ? ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore)
                           .description()
                     : persistRefusal_);
        return;
    }
    historyWriter_->save(
        std::move(edit), !previous,
        [this, answered = std::move(answered)](HistoryWriter::History history,
                                               const std::optional<QString>& failure) {
            shareReports(std::move(history));
            if (!failure) {
                setCanPersistReports(true);
            }
            answered(failure);
        });
}

void AppModel::changeHistory(HistoryWriter::Edit edit, const QString& failurePrefix,
                             std::function<void()> succeeded) {
    HistoryWriter::History previous = reports_;
    setReports(edit(*reports_));
    persistReport(std::move(edit), std::move(previous),
                  [this, failurePrefix,
                   succeeded = std::move(succeeded)](const std::optional<QString>& failure) {
                      if (failure) {
                          setReportNotice(failurePrefix + *failure);
                      } else {
                          succeeded();
                      }
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
    changeHistory(
        [id](std::vector<ScanReport> reports) {
            std::erase_if(reports, [&](const ScanReport& report) { return report.id == id; });
            return reports;
        },
        u"The report could not be deleted from disk. "_s,
        [this, id] {
            if (report_ && report_->id == id) {
                resetForNewScan();
            }
        });
}

void AppModel::deleteReports(const SidebarApp& app) {
    const QString bundle = app.bundleIdentifier;
    changeHistory(
        [bundle](std::vector<ScanReport> reports) {
            std::erase_if(reports, [&](const ScanReport& report) {
                return report.metadata.bundleIdentifier == bundle;
            });
            return reports;
        },
        u"These reports could not be deleted from disk. "_s,
        [this, bundle] {
            if (report_ && report_->metadata.bundleIdentifier == bundle) {
                resetForNewScan();
            }
        });
}

void AppModel::clearReportHistory() {
    changeHistory([](const std::vector<ScanReport>&) { return std::vector<ScanReport>(); },
                  u"Report history could not be cleared from disk. "_s, [this] { closeReport(); });
}

void AppModel::revealReport(const ScanReport& report) const {
    if (!report.sourcePath.isEmpty()) {
        options_.revealer(report.sourcePath);
    }
}

void AppModel::exportReport(const ScanReport& report, const QString& path) {
    workers_.start([this, markdown = report_markdown::render(report), path](std::stop_token) {
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
