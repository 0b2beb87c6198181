#include "services/screenshots/ScreenshotReviewFindings.h"

#include "services/screenshots/ScreenshotReviewArea.h"

namespace bw::screenshot_review {

namespace {

Failure failure(const QString& idPrefix, ScreenshotPrompt area, const QString& titleEnding,
                const QString& detail, const QString& evidence, const QString& fix,
                const QString& fileName) {
    Finding finding{idPrefix + rawValue(area),
                    FindingSeverity::manual,
                    FindingCategory::screenshots,
                    reviewAreaGuideline(area),
                    std::nullopt,
                    reviewAreaTitle(area) + titleEnding,
                    detail,
                    evidence,
                    std::nullopt,
                    fix,
                    1.0,
                    EvidenceSource::screenshot,
                    std::nullopt};
    ScreenshotAssessment assessment{fileName, area, ScreenshotAssessmentStatus::failed, detail,
                                    false};
    return {std::move(finding), std::move(assessment)};
}

Failure coverage(ScreenshotPrompt area, const QString& fileName, const QString& detail) {
    return failure(QStringLiteral("screenshot.ai.coverage."), area,
                   QStringLiteral(" screenshot review needs manual confirmation"), detail,
                   fileName + QStringLiteral(" was selected for ") + reviewAreaTitle(area) +
                       QStringLiteral("."),
                   QStringLiteral("Review this screen manually or run the scan again."), fileName);
}

} // namespace

Failure preparationFailed(ScreenshotPrompt area, const QString& fileName,
                          const QString& errorText) {
    return failure(
        QStringLiteral("screenshot.ai.preparation."), area,
        QStringLiteral(" screenshot could not be prepared"),
        QStringLiteral("This file could not be prepared for semantic screenshot review."),
        fileName + QStringLiteral(": ") + errorText,
        QStringLiteral("Export this screen as a readable PNG or JPEG and run the scan again."),
        fileName);
}

Failure reviewUnavailable(ScreenshotPrompt area, const QString& fileName,
                          const QString& errorText) {
    return failure(QStringLiteral("screenshot.ai.unavailable."), area,
                   QStringLiteral(" screenshot review was unavailable"),
                   QStringLiteral("Semantic screenshot review was unavailable for this file."),
                   fileName + QStringLiteral(": ") + errorText,
                   QStringLiteral("Check the connection and service status, then run the scan "
                                  "again or review this screen manually."),
                   fileName);
}

Failure noAssessmentReturned(ScreenshotPrompt area, const QString& fileName) {
    return coverage(
        area, fileName,
        QStringLiteral("The screenshot service did not return a file level assessment."));
}

Failure duplicateAssessmentsReturned(ScreenshotPrompt area, const QString& fileName) {
    return coverage(
        area, fileName,
        QStringLiteral("The screenshot service returned duplicate file level assessments."));
}

} // namespace bw::screenshot_review
