#include "app/AppModel.h"
#include "app/GuidedSolutions.h"
#include "model/ReportMarkdown.h"
#include "model/ReportStoreError.h"
#include "platform/fs/AtomicFile.h"

namespace bw {

using namespace Qt::Literals::StringLiterals;

void AppModel::persistReport(HistoryEdit edit, std::optional<std::vector<ScanReport>> previous,
                             HistoryAnswer answered) {
    if (!canPersistReports_) {
        if (previous) {
            setReports(*previous);
        }
        answered(ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore)
                     .description());
        return;
    }
    unsavedEdits_.emplace_back(edit, std::move(answered));
    historyWriter_.post([this, services = services_, written = writtenHistory_,
                         edit = std::move(edit), kept = !previous] {
        std::vector<ScanReport> edited = edit(*written);
        std::optional<QString> failure;
        try {
            services->reportStore.save(edited);
        } catch (const std::exception& error) {
            failure = errorDescription(error);
        }
        if (!failure || kept) {
            *written = std::move(edited);
        }
        postTo(this, [this, saved = *written, failure] { historySaved(saved, failure); });
    });
}

void AppModel::historySaved(std::vector<ScanReport> saved, const std::optional<QString>& failure) {
    const HistoryAnswer answered = std::move(unsavedEdits_.front().second);
    unsavedEdits_.pop_front();
    // Edits made since are still on their way to disk: they stay in memory, in their order.
    for (const auto& later : unsavedEdits_) {
        saved = later.first(std::move(saved));
    }
    setReports(saved);
    if (!failure) {
        setCanPersistReports(true);
    }
    answered(failure);
}

void AppModel::changeHistory(HistoryEdit edit, const QString& failurePrefix,
                             std::function<void()> succeeded) {
    std::vector<ScanReport> previous = reports_;
    setReports(edit(reports_));
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
                  u"Report history could not be cleared from disk. "_s,
                  [this] {
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
