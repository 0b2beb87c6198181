#pragma once

#include "app/AppModelTypes.h"
#include "services/appstoreconnect/AppStoreConnectService.h"
#include "services/backend/BuildReviewTypes.h"
#include "services/screenshots/ScreenshotAnalysisTypes.h"

#include <exception>
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

// The user-facing text of any error the pipeline meets.
QString errorDescription(const std::exception& error);

// The findings that say a review service could not be used. The App Store Connect one points
// its fix at what failed: the stored key, the network, or the key's access.
Finding ascUnavailableFinding(const std::exception& error, const AppStoreConnectService& service);
Finding screenshotReviewUnavailableFinding(const QString& evidence);
Finding guidedSolutionsUnavailableFinding(const std::exception& error);

// The failed semantic review: failed assessments for every slot, nothing analysed, and the
// finding that says so.
void applyScreenshotReviewFailure(const ScreenshotSlots& chosen, const QString& evidence,
                                  ScanReport& report);

} // namespace bw
