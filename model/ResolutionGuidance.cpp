#include "model/ResolutionGuidance.h"

#include "model/ResolutionPrompt.h"
#include "model/TrimmedNonEmpty.h"

namespace bw::resolution_guidance {

using namespace Qt::Literals::StringLiterals;

namespace {

// Blockers and risks are corrected; manual findings are reviewed.
bool needsCorrection(const Finding& finding) {
    return finding.severity != FindingSeverity::manual;
}

QString correctionStepTitle(FindingCategory category) {
    switch (category) {
    case FindingCategory::package:
    case FindingCategory::binary:
    case FindingCategory::resources:
        return u"Update the build configuration"_s;
    case FindingCategory::signing:
        return u"Correct distribution signing"_s;
    case FindingCategory::privacy:
        return u"Correct the privacy configuration"_s;
    case FindingCategory::permissions:
        return u"Update the permission flow"_s;
    case FindingCategory::payments:
        return u"Correct the purchase presentation"_s;
    case FindingCategory::metadata:
        return u"Update the submission metadata"_s;
    case FindingCategory::screenshots:
        return u"Correct the affected screenshot"_s;
    case FindingCategory::manual:
        return u"Complete the required correction"_s;
    }
    Q_UNREACHABLE();
    return {};
}

QString reviewStepTitle(FindingCategory category) {
    switch (category) {
    case FindingCategory::privacy:
        return u"Review the privacy disclosures"_s;
    case FindingCategory::permissions:
        return u"Test the permission flow"_s;
    case FindingCategory::payments:
        return u"Review the purchase flow"_s;
    case FindingCategory::metadata:
        return u"Compare the App Store Connect record"_s;
    case FindingCategory::screenshots:
        return u"Review the affected screenshot"_s;
    default:
        return u"Complete the manual review"_s;
    }
}

ResolutionStep recordOutcomeStep() {
    return {u"Record the review outcome"_s,
            u"Document what was tested and resolve any issue observed in the release behavior "
            u"before submission."_s};
}

ResolutionStep correctionFollowUp(EvidenceSource source) {
    switch (source) {
    case EvidenceSource::build:
        return {u"Prepare a clean distribution build"_s,
                u"Create a new Release archive so the exported artifact contains the corrected "
                u"configuration."_s};
    case EvidenceSource::appStoreConnect:
        return {u"Review and save the affected record"_s,
                u"Check the related version, localization, or review fields and save every "
                u"required update."_s};
    case EvidenceSource::screenshot:
        return {u"Export a replacement asset"_s,
                u"Use a supported device size and file format without scaling, cropping, "
                u"transparency, or stale UI."_s};
    case EvidenceSource::manual:
        return recordOutcomeStep();
    }
    Q_UNREACHABLE();
    return {};
}

ResolutionStep reviewFollowUp(FindingCategory category) {
    switch (category) {
    case FindingCategory::privacy:
        return {u"Compare declarations with release behavior"_s,
                u"Confirm that the privacy manifest, SDK declarations, and App Store privacy "
                u"answers describe the data used by the release build."_s};
    case FindingCategory::permissions:
        return {u"Record the permission outcome"_s,
                u"Test the system prompt and the screen that triggers it, then record any "
                u"mismatch that must be corrected before submission."_s};
    case FindingCategory::payments:
        return {u"Test the complete purchase experience"_s,
                u"Check price, renewal period, trial terms, Restore, Terms, Privacy, and the "
                u"unlocked experience on the release build."_s};
    case FindingCategory::metadata:
        return {u"Review the required store fields"_s,
                u"Compare the version metadata, screenshots, age rating, review notes, product "
                u"state, and privacy answers with the release build."_s};
    case FindingCategory::screenshots:
        return {u"Check the final store asset"_s,
                u"Confirm that the image shows the intended app experience clearly at a "
                u"supported device size without stale or misleading content."_s};
    default:
        return recordOutcomeStep();
    }
}

QString releaseReviewSummary() {
    return u"Complete the required release review before submission."_s;
}

QString correctionSummary(const Finding& finding) {
    switch (finding.category) {
    case FindingCategory::package:
    case FindingCategory::binary:
    case FindingCategory::resources:
        return u"Correct the affected build configuration and export a fresh artifact."_s;
    case FindingCategory::signing:
        return u"Prepare a correctly signed App Store distribution artifact."_s;
    case FindingCategory::privacy:
        return u"Correct the affected privacy configuration or disclosure."_s;
    case FindingCategory::permissions:
        return u"Correct the permission request and verify the release flow."_s;
    case FindingCategory::payments:
        return u"Correct the affected purchase or subscription presentation."_s;
    case FindingCategory::metadata:
        return u"Align the build and App Store Connect metadata."_s;
    case FindingCategory::screenshots:
        return u"Replace or correct the affected App Store screenshot."_s;
    case FindingCategory::manual:
        return trimmedNonEmpty(finding.fix).value_or(releaseReviewSummary());
    }
    Q_UNREACHABLE();
    return {};
}

QString reviewSummary(FindingCategory category) {
    switch (category) {
    case FindingCategory::privacy:
        return u"Review the app data use against its privacy manifest and store disclosures."_s;
    case FindingCategory::permissions:
        return u"Review the permission flow in the release build."_s;
    case FindingCategory::payments:
        return u"Review the purchase experience and subscription presentation in the release "
               u"build."_s;
    case FindingCategory::metadata:
        return u"Compare this build with its App Store Connect submission record."_s;
    case FindingCategory::screenshots:
        return u"Review the affected screenshot in its intended App Store context."_s;
    default:
        return releaseReviewSummary();
    }
}

QString correctionVerification(EvidenceSource source) {
    switch (source) {
    case EvidenceSource::build:
        return u"Create a fresh Release archive, scan the exported build again, and confirm this "
               u"finding no longer appears."_s;
    case EvidenceSource::appStoreConnect:
        return u"Save the update in App Store Connect, refresh the connected review, and confirm "
               u"the record now matches the build."_s;
    case EvidenceSource::screenshot:
        return u"Replace the affected image or export it again, run Screenshot Review, and "
               u"confirm the issue is gone."_s;
    case EvidenceSource::manual:
        return u"Test the affected flow on the Release build and record the result before "
               u"submitting."_s;
    }
    Q_UNREACHABLE();
    return {};
}

QString reviewVerification(FindingCategory category) {
    switch (category) {
    case FindingCategory::privacy:
        return u"Confirm that the release behavior, privacy manifest, SDK declarations, and App "
               u"Store privacy answers tell the same story."_s;
    case FindingCategory::permissions:
        return u"Test the affected permission on the release build and confirm that the prompt "
               u"and triggering screen match the declared purpose."_s;
    case FindingCategory::payments:
        return u"Complete a purchase and restore test on the release build and confirm that "
               u"every required term is visible before commitment."_s;
    case FindingCategory::metadata:
        return u"Refresh the connected App Store review and confirm every required store field "
               u"can be compared with this build."_s;
    case FindingCategory::screenshots:
        return u"Run Screenshot Review again and confirm the final asset accurately represents "
               u"the app experience."_s;
    default:
        return u"Complete the affected flow on the release build and record the result before "
               u"submitting."_s;
    }
}

} // namespace

std::optional<std::vector<ResolutionStep>>
validatedSteps(const std::optional<std::vector<ResolutionStep>>& steps) {
    if (!steps) {
        return std::nullopt;
    }
    std::vector<ResolutionStep> kept;
    for (const ResolutionStep& step : *steps) {
        const auto title = trimmedNonEmpty(step.title);
        const auto instruction = trimmedNonEmpty(step.instruction);
        if (title && instruction) {
            kept.push_back({*title, *instruction});
        }
    }
    if (kept.size() < 2 || kept.size() > 4) {
        return std::nullopt;
    }
    return kept;
}

ResolutionStep defaultPrimaryStep(const Finding& finding) {
    const QString title = needsCorrection(finding) ? correctionStepTitle(finding.category)
                                                   : reviewStepTitle(finding.category);
    return {title, finding.fix};
}

ResolutionStep defaultFollowUpStep(const Finding& finding) {
    return needsCorrection(finding) ? correctionFollowUp(finding.source)
                                    : reviewFollowUp(finding.category);
}

QString defaultSummary(const Finding& finding) {
    return needsCorrection(finding) ? correctionSummary(finding) : reviewSummary(finding.category);
}

QString defaultVerification(const Finding& finding) {
    return needsCorrection(finding) ? correctionVerification(finding.source)
                                    : reviewVerification(finding.category);
}

FindingResolution resolution(const Finding& finding, const BuildMetadata& metadata) {
    const std::optional<FindingResolution>& service = finding.resolution;
    const auto serviceSteps = service ? std::optional(service->steps) : std::nullopt;
    std::vector<ResolutionStep> steps =
        validatedSteps(serviceSteps)
            .value_or(std::vector{defaultPrimaryStep(finding), defaultFollowUpStep(finding)});
    QString summary = (service ? trimmedNonEmpty(service->summary) : std::nullopt)
                          .value_or(defaultSummary(finding));
    QString verification = (service ? trimmedNonEmpty(service->verification) : std::nullopt)
                               .value_or(defaultVerification(finding));
    QString prompt = solutionPrompt(finding, metadata, summary, steps, verification);
    return {std::move(summary), std::move(steps), std::move(verification), std::move(prompt)};
}

} // namespace bw::resolution_guidance
