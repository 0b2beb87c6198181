#pragma once

#include "app/AppModelTypes.h"
#include "services/appstoreconnect/AppStoreConnectService.h"

#include <exception>

namespace bw {

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
