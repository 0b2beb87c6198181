#pragma once

#include "platform/json/JsonReader.h"
#include "services/screenshots/ScreenshotAnalysisTypes.h"

#include <QJsonObject>

namespace bw {

QJsonObject toJson(const BuildContext& value);
QJsonObject toJson(const ScreenshotUpload& value);
QJsonObject toJson(const ScreenshotRequest& value);

// Unknown keys are ignored; a missing required key, a wrong type or an unknown raw value throws
// json::DecodeError.
ScreenshotAnalysisResponse decodeScreenshotAnalysisResponse(const json::JsonReader& reader);

} // namespace bw
