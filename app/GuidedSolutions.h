#pragma once

#include "app/AppModelTypes.h"
#include "services/backend/BuildReviewTypes.h"
#include "services/screenshots/ScreenshotAnalysisTypes.h"

#include <set>

namespace bw {

// Merges the web service's review of the build evidence into the report: resolutions by finding
// id, remote findings not already present (ids "build.ai.<scan>.<index>"), passed checks and the
// rules version. Does not sort.
void applyGuidedSolutions(const BuildAnalysisResponse& response, const QString& scanIdentifier,
                          ScanReport& report);

// Whether the semantic review analysed exactly one screenshot of every area that has one.
bool screenshotReviewIsComplete(const std::vector<ScreenshotAssessment>& assessments,
                                const std::set<ScreenshotPrompt>& areas);

} // namespace bw
