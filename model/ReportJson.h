#pragma once

#include "model/ScanReport.h"
#include "model/StagedBuild.h"
#include "platform/json/JsonReader.h"
#include "platform/json/JsonWriter.h"

#include <QJsonObject>

// The JSON form of the report model: keys are the field names, absent optionals are left out,
// enumerations are their raw values, dates ISO 8601 with whole seconds, bytes base64, the report
// id upper-case UUID text. Decoding is strict and names the key path of the first problem.
namespace bw {

template <typename E> E decodeEnum(const json::JsonReader& reader) {
    const QString text = reader.string();
    const std::optional<E> value = fromRawValue<E>(text);
    if (!value) {
        reader.fail(QStringLiteral("\"%1\" is not a valid value").arg(text));
    }
    return *value;
}

// Writes the value as one JSON object.
void encode(json::StreamWriter& out, const FindingEvidenceField& value);
void encode(json::StreamWriter& out, const ResolutionStep& value);
void encode(json::StreamWriter& out, const FindingResolution& value);
void encode(json::StreamWriter& out, const Finding& value);
void encode(json::StreamWriter& out, const BuildMetadata& value);
void encode(json::StreamWriter& out, const ScreenshotAssessment& value);
void encode(json::StreamWriter& out, const ScreenshotSummary& value);
void encode(json::StreamWriter& out, const ScanReport& value);
void encode(json::StreamWriter& out, const StagedBuildPreview& value);
void encode(json::StreamWriter& out, const StagedBuild& value);

// The same objects as QJsonObjects, for callers that build larger documents from them.
QJsonObject toJson(const FindingEvidenceField& value);
QJsonObject toJson(const ResolutionStep& value);
QJsonObject toJson(const FindingResolution& value);
QJsonObject toJson(const Finding& value);
QJsonObject toJson(const BuildMetadata& value);
QJsonObject toJson(const ScreenshotAssessment& value);
QJsonObject toJson(const ScreenshotSummary& value);
QJsonObject toJson(const ScanReport& value);
QJsonObject toJson(const StagedBuildPreview& value);
QJsonObject toJson(const StagedBuild& value);

FindingEvidenceField decodeFindingEvidenceField(const json::JsonReader& reader);
ResolutionStep decodeResolutionStep(const json::JsonReader& reader);
FindingResolution decodeFindingResolution(const json::JsonReader& reader);
Finding decodeFinding(const json::JsonReader& reader);
BuildMetadata decodeBuildMetadata(const json::JsonReader& reader);
ScreenshotAssessment decodeScreenshotAssessment(const json::JsonReader& reader);
ScreenshotSummary decodeScreenshotSummary(const json::JsonReader& reader);
ScanReport decodeScanReport(const json::JsonReader& reader);
StagedBuildPreview decodeStagedBuildPreview(const json::JsonReader& reader);
StagedBuild decodeStagedBuild(const json::JsonReader& reader);

} // namespace bw
