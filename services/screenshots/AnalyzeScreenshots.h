#pragma once

#include "services/backend/BerthwatchBackend.h"
#include "services/screenshots/ScreenshotAnalysisTypes.h"

#include <optional>
#include <stop_token>

namespace bw {

// The web service's screenshot analysis: one batch, POST "v1/screenshots/analyze". Throws what
// BerthwatchBackend::send throws.
ScreenshotAnalysisResponse analyzeScreenshots(const BerthwatchBackend& backend,
                                              const ScreenshotRequest& request,
                                              const std::optional<QString>& token,
                                              std::stop_token stop = {});

} // namespace bw
