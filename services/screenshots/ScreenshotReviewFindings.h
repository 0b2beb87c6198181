#pragma once

#include "model/Finding.h"
#include "model/ScreenshotSummary.h"

#include <QString>

// The findings the screenshot review raises itself when a screenshot could not be reviewed,
// each with the failed assessment that goes with it. `fileName` is the selected file's name
// with its extension; `errorText` the description of the error concerned.
namespace bw::screenshot_review {

struct Failure {
    Finding finding;
    ScreenshotAssessment assessment;
};

Failure preparationFailed(ScreenshotPrompt area, const QString& fileName, const QString& errorText);
Failure reviewUnavailable(ScreenshotPrompt area, const QString& fileName, const QString& errorText);
Failure noAssessmentReturned(ScreenshotPrompt area, const QString& fileName);
Failure duplicateAssessmentsReturned(ScreenshotPrompt area, const QString& fileName);

} // namespace bw::screenshot_review
