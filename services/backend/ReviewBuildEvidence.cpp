#include "services/backend/BerthwatchBackend.h"
#include "services/backend/BuildReviewJson.h"
#include "services/backend/BuildReviewRequestAssembly.h"

namespace bw {

BuildAnalysisResponse BerthwatchBackend::reviewBuildEvidence(const std::optional<QString>& token,
                                                             const QString& scanIdentifier,
                                                             const ScanReport& report,
                                                             std::stop_token stop) const {
    // A remote review of a large build may take minutes.
    constexpr std::chrono::seconds timeout(210);
    const QJsonObject body = toJson(makeBuildReviewRequest(report));
    return send(QStringLiteral("v1/scans/") + scanIdentifier + QStringLiteral("/analyze"), "POST",
                token, body, timeout, std::move(stop), decodeBuildAnalysisResponse);
}

} // namespace bw
