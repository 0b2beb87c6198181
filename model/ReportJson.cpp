#include "model/ReportJson.h"

#include "platform/json/JsonValues.h"

namespace bw {

using namespace Qt::Literals::StringLiterals;
namespace {

using json::JsonReader;
using json::StreamWriter;

std::vector<QString> decodeStrings(const JsonReader& reader) {
    return reader.strings();
}

template <typename T, typename Decode>
std::optional<T> optionalAt(const JsonReader& reader, QStringView key, Decode decode) {
    const auto member = reader.optionalMember(key);
    return member ? std::optional<T>(decode(*member)) : std::nullopt;
}

template <typename T, typename Decode>
std::vector<T> arrayAt(const JsonReader& reader, QStringView key, Decode decode) {
    return reader.member(key).array<T>(decode);
}

void write(StreamWriter& out, const QString& text) {
    out.string(text);
}
void write(StreamWriter& out, qint64 integer) {
    out.integer(integer);
}
void write(StreamWriter& out, double number) {
    out.number(number);
}
void write(StreamWriter& out, bool boolean) {
    out.boolean(boolean);
}
void write(StreamWriter& out, const QByteArray& data) {
    out.string(QString::fromLatin1(data.toBase64()));
}
void write(StreamWriter& out, const QDateTime& date) {
    out.string(json::formatDate(date));
}
void write(StreamWriter& out, const QUuid& id) {
    out.string(json::formatUuid(id));
}
template <typename E>
requires std::is_enum_v<E>
void write(StreamWriter& out, const E& value) {
    out.string(rawValue(value));
}
template <typename T> void write(StreamWriter& out, const T& value) {
    encode(out, value);
}
template <typename T> void write(StreamWriter& out, const std::vector<T>& values) {
    out.beginArray();
    for (const T& value : values) {
        write(out, value);
    }
    out.endArray();
}

// One member of an object; an absent optional is left out.
template <typename T> void field(StreamWriter& out, QStringView key, const T& value) {
    out.key(key);
    write(out, value);
}
template <typename T>
void field(StreamWriter& out, QStringView key, const std::optional<T>& value) {
    if (value) {
        field(out, key, *value);
    }
}

// The QJsonObject form, read back from the one encoding.
template <typename T> QJsonObject objectOf(const T& value) {
    StreamWriter out(json::Layout::compact);
    encode(out, value);
    return json::parseDocument(out.take()).root().toQJsonValue().toObject();
}

} // namespace

// Each object's keys in sorted order, as every writer of ours puts them.

void encode(StreamWriter& out, const FindingEvidenceField& v) {
    out.beginObject();
    field(out, u"label", v.label);
    field(out, u"value", v.value);
    out.endObject();
}

void encode(StreamWriter& out, const ResolutionStep& v) {
    out.beginObject();
    field(out, u"instruction", v.instruction);
    field(out, u"title", v.title);
    out.endObject();
}

void encode(StreamWriter& out, const FindingResolution& v) {
    out.beginObject();
    field(out, u"solutionPrompt", v.solutionPrompt);
    field(out, u"steps", v.steps);
    field(out, u"summary", v.summary);
    field(out, u"verification", v.verification);
    out.endObject();
}

void encode(StreamWriter& out, const Finding& v) {
    out.beginObject();
    field(out, u"category", v.category);
    field(out, u"confidence", v.confidence);
    field(out, u"detail", v.detail);
    field(out, u"evidence", v.evidence);
    field(out, u"evidenceFields", v.evidenceFields);
    field(out, u"fix", v.fix);
    field(out, u"guideline", v.guideline);
    field(out, u"id", v.id);
    field(out, u"itms", v.itms);
    field(out, u"resolution", v.resolution);
    field(out, u"severity", v.severity);
    field(out, u"source", v.source);
    field(out, u"title", v.title);
    out.endObject();
}

void encode(StreamWriter& out, const BuildMetadata& v) {
    out.beginObject();
    field(out, u"appName", v.appName);
    field(out, u"architectures", v.architectures);
    field(out, u"buildNumber", v.buildNumber);
    field(out, u"bundleIdentifier", v.bundleIdentifier);
    field(out, u"bundleSize", v.bundleSize);
    field(out, u"iconPNG", v.iconPNG);
    field(out, u"minimumOS", v.minimumOS);
    field(out, u"platform", v.platform);
    field(out, u"sdkNames", v.sdkNames);
    field(out, u"version", v.version);
    out.endObject();
}

void encode(StreamWriter& out, const ScreenshotAssessment& v) {
    out.beginObject();
    field(out, u"analyzed", v.analyzed);
    field(out, u"fileName", v.fileName);
    field(out, u"reviewArea", v.reviewArea);
    field(out, u"status", v.status);
    field(out, u"summary", v.summary);
    out.endObject();
}

void encode(StreamWriter& out, const ScreenshotSummary& v) {
    out.beginObject();
    field(out, u"analyzedCount", v.analyzedCount);
    field(out, u"assessments", v.assessments);
    field(out, u"count", v.count);
    field(out, u"decodedCount", v.decodedCount);
    field(out, u"fileNames", v.fileNames);
    field(out, u"reviewAreas", v.reviewAreas);
    out.endObject();
}

void encode(StreamWriter& out, const ScanReport& v) {
    out.beginObject();
    field(out, u"createdAt", v.createdAt);
    field(out, u"fileName", v.fileName);
    field(out, u"findings", v.findings);
    field(out, u"id", v.id);
    field(out, u"metadata", v.metadata);
    field(out, u"passedChecks", v.passedChecks);
    field(out, u"rulesVersion", v.rulesVersion);
    field(out, u"screenshotSummary", v.screenshotSummary);
    field(out, u"sourcePath", v.sourcePath);
    field(out, u"verdict", v.verdict);
    out.endObject();
}

void encode(StreamWriter& out, const StagedBuildPreview& v) {
    out.beginObject();
    field(out, u"appName", v.appName);
    field(out, u"buildNumber", v.buildNumber);
    field(out, u"bundleIdentifier", v.bundleIdentifier);
    field(out, u"bundleSize", v.bundleSize);
    field(out, u"iconPNG", v.iconPNG);
    field(out, u"minimumOS", v.minimumOS);
    field(out, u"platform", v.platform);
    field(out, u"targetDevices", v.targetDevices);
    field(out, u"version", v.version);
    out.endObject();
}

void encode(StreamWriter& out, const StagedBuild& v) {
    out.beginObject();
    field(out, u"addedAt", v.addedAt);
    field(out, u"fileName", v.fileName);
    field(out, u"id", v.id);
    field(out, u"path", v.path);
    field(out, u"preview", v.preview);
    field(out, u"previewError", v.previewError);
    out.endObject();
}

QJsonObject toJson(const FindingEvidenceField& v) {
    return objectOf(v);
}
QJsonObject toJson(const ResolutionStep& v) {
    return objectOf(v);
}
QJsonObject toJson(const FindingResolution& v) {
    return objectOf(v);
}
QJsonObject toJson(const Finding& v) {
    return objectOf(v);
}
QJsonObject toJson(const BuildMetadata& v) {
    return objectOf(v);
}
QJsonObject toJson(const ScreenshotAssessment& v) {
    return objectOf(v);
}
QJsonObject toJson(const ScreenshotSummary& v) {
    return objectOf(v);
}
QJsonObject toJson(const ScanReport& v) {
    return objectOf(v);
}
QJsonObject toJson(const StagedBuildPreview& v) {
    return objectOf(v);
}
QJsonObject toJson(const StagedBuild& v) {
    return objectOf(v);
}

FindingEvidenceField decodeFindingEvidenceField(const JsonReader& r) {
    return {json::stringAt(r, u"label"), json::stringAt(r, u"value")};
}

ResolutionStep decodeResolutionStep(const JsonReader& r) {
    return {json::stringAt(r, u"title"), json::stringAt(r, u"instruction")};
}

FindingResolution decodeFindingResolution(const JsonReader& r) {
    return {json::stringAt(r, u"summary"),
            arrayAt<ResolutionStep>(r, u"steps", decodeResolutionStep),
            json::stringAt(r, u"verification"), json::stringAt(r, u"solutionPrompt")};
}

Finding decodeFinding(const JsonReader& r) {
    return {json::stringAt(r, u"id"),
            decodeEnum<FindingSeverity>(r.member(u"severity")),
            decodeEnum<FindingCategory>(r.member(u"category")),
            json::stringAt(r, u"guideline"),
            json::optionalStringAt(r, u"itms"),
            json::stringAt(r, u"title"),
            json::stringAt(r, u"detail"),
            json::stringAt(r, u"evidence"),
            optionalAt<std::vector<FindingEvidenceField>>(r, u"evidenceFields",
                                                          [](const JsonReader& m) {
                                                              return m.array<FindingEvidenceField>(
                                                                  decodeFindingEvidenceField);
                                                          }),
            json::stringAt(r, u"fix"),
            r.member(u"confidence").number(),
            decodeEnum<EvidenceSource>(r.member(u"source")),
            optionalAt<FindingResolution>(r, u"resolution", decodeFindingResolution)};
}

// The identity fields stand flat beside the rest in every object that carries them.
static BuildIdentity decodeBuildIdentity(const JsonReader& r) {
    return {json::stringAt(r, u"appName"),  json::stringAt(r, u"bundleIdentifier"),
            json::stringAt(r, u"version"),  json::stringAt(r, u"buildNumber"),
            json::stringAt(r, u"platform"), json::stringAt(r, u"minimumOS")};
}

BuildMetadata decodeBuildMetadata(const JsonReader& r) {
    return {decodeBuildIdentity(r), decodeStrings(r.member(u"architectures")),
            decodeStrings(r.member(u"sdkNames")), r.member(u"bundleSize").integer(),
            json::optionalDataAt(r, u"iconPNG")};
}

ScreenshotAssessment decodeScreenshotAssessment(const JsonReader& r) {
    return {json::stringAt(r, u"fileName"), decodeEnum<ScreenshotPrompt>(r.member(u"reviewArea")),
            decodeEnum<ScreenshotAssessmentStatus>(r.member(u"status")),
            json::stringAt(r, u"summary"), r.member(u"analyzed").boolean()};
}

ScreenshotSummary decodeScreenshotSummary(const JsonReader& r) {
    return {
        r.member(u"count").integer(),
        r.member(u"analyzedCount").integer(),
        decodeStrings(r.member(u"fileNames")),
        optionalAt<std::vector<QString>>(r, u"reviewAreas", decodeStrings),
        json::optionalIntegerAt(r, u"decodedCount"),
        optionalAt<std::vector<ScreenshotAssessment>>(r, u"assessments", [](const JsonReader& m) {
            return m.array<ScreenshotAssessment>(decodeScreenshotAssessment);
        })};
}

ScanReport decodeScanReport(const JsonReader& r) {
    return {r.member(u"id").uuid(),
            r.member(u"createdAt").date(),
            json::stringAt(r, u"fileName"),
            json::stringAt(r, u"sourcePath"),
            decodeEnum<Verdict>(r.member(u"verdict")),
            decodeBuildMetadata(r.member(u"metadata")),
            arrayAt<Finding>(r, u"findings", decodeFinding),
            decodeStrings(r.member(u"passedChecks")),
            optionalAt<ScreenshotSummary>(r, u"screenshotSummary", decodeScreenshotSummary),
            json::stringAt(r, u"rulesVersion")};
}

StagedBuildPreview decodeStagedBuildPreview(const JsonReader& r) {
    return {decodeBuildIdentity(r), json::optionalDataAt(r, u"iconPNG"),
            json::optionalStringAt(r, u"targetDevices"), json::optionalIntegerAt(r, u"bundleSize")};
}

StagedBuild decodeStagedBuild(const JsonReader& r) {
    return {r.member(u"id").uuid(),
            json::stringAt(r, u"fileName"),
            json::stringAt(r, u"path"),
            r.member(u"addedAt").date(),
            optionalAt<StagedBuildPreview>(r, u"preview", decodeStagedBuildPreview),
            json::optionalStringAt(r, u"previewError")};
}

} // namespace bw
