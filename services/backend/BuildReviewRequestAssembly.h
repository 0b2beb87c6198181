#pragma once

#include "model/ScanReport.h"
#include "services/backend/BuildReviewTypes.h"

namespace bw {

// The summary of `report` that the build-evidence review sends, bounded whatever the build:
// at most 120 findings, 16 architectures, 120 SDK names and 160 passed checks, every text
// trimmed, blank texts replaced by "Unavailable" and long ones clipped to their field's limit.
BuildReviewRequest makeBuildReviewRequest(const ScanReport& report);

} // namespace bw
