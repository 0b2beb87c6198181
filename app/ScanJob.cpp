#include "app/ScanJob.h"

#include "app/ErrorDescription.h"
#include "app/GuidedSolutions.h"
#include "app/ServiceFailures.h"
#include "model/FindingOrder.h"
#include "model/ReportHelpers.h"
#include "platform/core/Cancelled.h"

#include <algorithm>

namespace bw {

using namespace Qt::Literals::StringLiterals;

namespace {

// The share of the progress bar the local inspection fills.
constexpr double inspectionShare = 0.82;

void throwIfStopped(const std::stop_token& stop) {
    if (stop.stop_requested()) {
        throw Cancelled();
    }
}

template <typename T> void append(std::vector<T>& to, const std::vector<T>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

void compareWithAppStoreConnect(const AppServices& services, ScanReport& report,
                                const std::stop_token& stop) {
    try {
        const AppStoreConnectAudit audit = services.ascService.audit(report.metadata, stop);
        append(report.findings, audit.findings);
        append(report.passedChecks, audit.passedChecks);
    } catch (const Cancelled&) {
        throw;
    } catch (const std::exception& error) {
        report.findings.push_back(ascUnavailableFinding(error, services.ascService));
    }
}

void checkScreenshotsLocally(const AppServices& services, const ScanRequest& request,
                             ScanReport& report) {
    std::vector<QString> paths;
    std::vector<QString> areas;
    for (const auto& [prompt, path] : request.screenshotSlots) {
        paths.push_back(path);
        areas.push_back(rawValue(prompt));
    }
    ScreenshotAuditResult audit =
        services.screenshotAuditor.audit(paths, request.screenshotsAreStoreListing);
    append(report.findings, audit.findings);
    append(report.passedChecks, audit.passedChecks);
    audit.summary.reviewAreas = std::move(areas);
    report.screenshotSummary = std::move(audit.summary);
}

void reviewScreenshots(const AppServices& services, const ScanRequest& request, ScanReport& report,
                       const std::stop_token& stop) {
    try {
        const ScreenshotReviewResult review = services.screenshotAI.review(
            request.screenshotSlots, report.metadata, scanIdentifier(report), std::nullopt,
            request.screenshotsAreStoreListing, stop);
        append(report.findings, review.findings);
        append(report.passedChecks, review.passedChecks);
        if (report.screenshotSummary) {
            report.screenshotSummary->analyzedCount = review.analyzedCount;
            report.screenshotSummary->assessments = review.assessments;
        }
        std::set<ScreenshotPrompt> areas;
        for (const auto& [prompt, path] : request.screenshotSlots) {
            areas.insert(prompt);
        }
        if (screenshotReviewIsComplete(review.assessments, areas)) {
            std::erase_if(report.findings, [](const Finding& finding) {
                return finding.id == u"screenshot.semantic-review";
            });
        }
    } catch (const Cancelled&) {
        throw;
    } catch (const std::exception& error) {
        applyScreenshotReviewFailure(request.screenshotSlots, errorDescription(error), report);
    }
}

// Passes on only the web service's refusal of this version of the application.
void addGuidedSolutions(const AppServices& services, ScanReport& report,
                        const std::stop_token& stop) {
    try {
        const BuildAnalysisResponse response = services.backend.reviewBuildEvidence(
            std::nullopt, scanIdentifier(report), report, stop);
        applyGuidedSolutions(response, scanIdentifier(report), report);
    } catch (const BackendError& error) {
        if (error.kind() == BackendError::Kind::outdatedApp) {
            throw;
        }
        report.findings.push_back(guidedSolutionsUnavailableFinding(error));
    } catch (const Cancelled&) {
        throw;
    } catch (const std::exception& error) {
        report.findings.push_back(guidedSolutionsUnavailableFinding(error));
    }
}

void finish(ScanReport& report) {
    rankFindings(report.findings, FindingRanking::severityAndTitle);
    report.passedChecks = orderedUnique(report.passedChecks);
    report.verdict = verdictFor(report.findings);
}

ScanReport scan(const AppServices& services, const ScanRequest& request,
                const ScanStepReporter& reportStep, const std::stop_token& stop) {
    ScanReport report = services.scanner.scan(
        request.artifact,
        [&](const QString& message, double fraction) {
            reportStep(fraction * inspectionShare, message);
        },
        stop);
    throwIfStopped(stop);
    if (request.compareWithAppStoreConnect) {
        reportStep(0.84, u"Comparing App Store Connect"_s);
        compareWithAppStoreConnect(services, report, stop);
        throwIfStopped(stop);
    }
    if (!request.screenshotSlots.empty()) {
        reportStep(0.91, u"Checking screenshots locally"_s);
        checkScreenshotsLocally(services, request, report);
        throwIfStopped(stop);
        if (request.includesScreenshots) {
            reportStep(0.95, u"Reviewing approved screenshots"_s);
            reviewScreenshots(services, request, report, stop);
            throwIfStopped(stop);
        }
    }
    reportStep(0.97, u"Preparing guided solutions"_s);
    addGuidedSolutions(services, report, stop);
    throwIfStopped(stop);
    finish(report);
    return report;
}

} // namespace

QString scanIdentifier(const ScanReport& report) {
    return report.id.toString(QUuid::WithoutBraces).toLower();
}

ScanOutcome runScanJob(const AppServices& services, const ScanRequest& request,
                       const ScanStepReporter& reportStep, std::stop_token stop) {
    try {
        return {ScanOutcome::Kind::finished, scan(services, request, reportStep, stop), {}};
    } catch (const Cancelled&) {
        return {ScanOutcome::Kind::cancelled, std::nullopt, {}};
    } catch (const std::exception& error) {
        // Whatever a stopped step fails with, the scan was cancelled.
        if (stop.stop_requested()) {
            return {ScanOutcome::Kind::cancelled, std::nullopt, {}};
        }
        const auto* backendError = dynamic_cast<const BackendError*>(&error);
        return {ScanOutcome::Kind::failed, std::nullopt, errorDescription(error),
                backendError && backendError->kind() == BackendError::Kind::outdatedApp};
    }
}

} // namespace bw
