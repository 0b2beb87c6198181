#pragma once

#include "inspection/checks/CheckTypes.h"

namespace bw::checks {

// What a static inspection cannot settle: a purchase flow when StoreKit or a purchase SDK is
// found, and always the store comparison and the runtime boundary.
void inspectReviewRisks(const QString& linkedLibraries, const std::vector<QString>& files,
                        Findings& findings);

} // namespace bw::checks
