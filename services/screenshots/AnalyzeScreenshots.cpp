#include "services/screenshots/AnalyzeScreenshots.h"

#include "services/screenshots/ScreenshotAnalysisJson.h"

namespace bw {

ScreenshotAnalysisResponse analyzeScreenshots(const BerthwatchBackend& backend,
                                              const ScreenshotRequest& request,
                                              const std::optional<QString>& token,
                                              std::stop_token stop) {
    // A batch of eight screens may take the service a while to look at.
    constexpr std::chrono::seconds timeout(120);
    return backend.send(QStringLiteral("v1/screenshots/analyze"), "POST", token, toJson(request),
                        timeout, std::move(stop), decodeScreenshotAnalysisResponse);
}

} // namespace bw
