#pragma once

#include "platform/json/JsonReader.h"
#include "services/backend/BuildReviewTypes.h"

#include <QJsonObject>

// The wire form of the build-evidence review: keys are the field names, an absent optional is
// left out, enumerations are their raw values. Decoding is strict: a missing required key, a
// wrong type or an unknown raw value fails the whole response.
namespace bw {

QJsonObject toJson(const BuildEvidenceFinding& value);
QJsonObject toJson(const BuildReviewContext& value);
QJsonObject toJson(const BuildReviewRequest& value);

RemoteBuildFinding decodeRemoteBuildFinding(const json::JsonReader& reader);
RemoteFindingResolution decodeRemoteFindingResolution(const json::JsonReader& reader);
BuildAnalysisResponse decodeBuildAnalysisResponse(const json::JsonReader& reader);

} // namespace bw
