#include "model/ReportJson.h"

#include "platform/json/JsonValues.h"

#include <QJsonArray>

namespace bw {

using namespace Qt::Literals::StringLiterals;
namespace {

using json::JsonReader;

using json::stringArray;

template <typename T> QJsonArray objectArray(const std::vector<T>& values) {
    return json::arrayOf(values, [](const T& value) { return toJson(value); });
}

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

} // namespace

QJsonObject toJson(const FindingEvidenceField& v) {
    return {{u"label"_s, v.label}, {u"value"_s, v.value}};
}

QJsonObject toJson(const ResolutionStep& v) {
    return {{u"title"_s, v.title}, {u"instruction"_s, v.instruction}};
}

QJsonObject toJson(const FindingResolution& v) {
    return {{u"summary"_s, v.summary},
            {u"steps"_s, objectArray(v.steps)},
            {u"verification"_s, v.verification},
            {u"solutionPrompt"_s, v.solutionPrompt}};
}

QJsonObject toJson(const Finding& v) {
    QJsonObject o{{u"id"_s, v.id},
                  {u"severity"_s, rawValue(v.severity)},
                  {u"category"_s, rawValue(v.category)},
                  {u"guideline"_s, v.guideline},
                  {u"title"_s, v.title},
                  {u"detail"_s, v.detail},
                  {u"evidence"_s, v.evidence},
                  {u"fix"_s, v.fix},
                  {u"confidence"_s, v.confidence},
                  {u"source"_s, rawValue(v.source)}};
    if (v.itms) {
        o.insert(u"itms"_s, *v.itms);
    }
    if (v.evidenceFields) {
        o.insert(u"evidenceFields"_s, objectArray(*v.evidenceFields));
    }
    if (v.resolution) {
        o.insert(u"resolution"_s, toJson(*v.resolution));
    }
    return o;
}

QJsonObject toJson(const BuildMetadata& v) {
    QJsonObject o{{u"appName"_s, v.appName},
                  {u"bundleIdentifier"_s, v.bundleIdentifier},
                  {u"version"_s, v.version},
                  {u"buildNumber"_s, v.buildNumber},
                  {u"platform"_s, v.platform},
                  {u"minimumOS"_s, v.minimumOS},
                  {u"architectures"_s, stringArray(v.architectures)},
                  {u"sdkNames"_s, stringArray(v.sdkNames)},
                  {u"bundleSize"_s, QJsonValue(v.bundleSize)}};
    if (v.iconPNG) {
        o.insert(u"iconPNG"_s, json::dataValue(*v.iconPNG));
    }
    return o;
}

QJsonObject toJson(const ScreenshotAssessment& v) {
    return {{u"fileName"_s, v.fileName},
            {u"reviewArea"_s, rawValue(v.reviewArea)},
            {u"status"_s, rawValue(v.status)},
            {u"summary"_s, v.summary},
            {u"analyzed"_s, v.analyzed}};
}

QJsonObject toJson(const ScreenshotSummary& v) {
    QJsonObject o{{u"count"_s, QJsonValue(v.count)},
                  {u"analyzedCount"_s, QJsonValue(v.analyzedCount)},
                  {u"fileNames"_s, stringArray(v.fileNames)}};
    if (v.reviewAreas) {
        o.insert(u"reviewAreas"_s, stringArray(*v.reviewAreas));
    }
    if (v.decodedCount) {
        o.insert(u"decodedCount"_s, QJsonValue(*v.decodedCount));
    }
    if (v.assessments) {
        o.insert(u"assessments"_s, objectArray(*v.assessments));
    }
    return o;
}

QJsonObject toJson(const ScanReport& v) {
    QJsonObject o{{u"id"_s, json::uuidValue(v.id)},
                  {u"createdAt"_s, json::dateValue(v.createdAt)},
                  {u"fileName"_s, v.fileName},
                  {u"sourcePath"_s, v.sourcePath},
                  {u"verdict"_s, rawValue(v.verdict)},
                  {u"metadata"_s, toJson(v.metadata)},
                  {u"findings"_s, objectArray(v.findings)},
                  {u"passedChecks"_s, stringArray(v.passedChecks)},
                  {u"rulesVersion"_s, v.rulesVersion}};
    if (v.screenshotSummary) {
        o.insert(u"screenshotSummary"_s, toJson(*v.screenshotSummary));
    }
    return o;
}

QJsonObject toJson(const StagedBuildPreview& v) {
    QJsonObject o{{u"appName"_s, v.appName},   {u"bundleIdentifier"_s, v.bundleIdentifier},
                  {u"version"_s, v.version},   {u"buildNumber"_s, v.buildNumber},
                  {u"platform"_s, v.platform}, {u"minimumOS"_s, v.minimumOS}};
    if (v.iconPNG) {
        o.insert(u"iconPNG"_s, json::dataValue(*v.iconPNG));
    }
    if (v.targetDevices) {
        o.insert(u"targetDevices"_s, *v.targetDevices);
    }
    if (v.bundleSize) {
        o.insert(u"bundleSize"_s, QJsonValue(*v.bundleSize));
    }
    return o;
}

QJsonObject toJson(const StagedBuild& v) {
    QJsonObject o{{u"id"_s, json::uuidValue(v.id)},
                  {u"fileName"_s, v.fileName},
                  {u"path"_s, v.path},
                  {u"addedAt"_s, json::dateValue(v.addedAt)}};
    if (v.preview) {
        o.insert(u"preview"_s, toJson(*v.preview));
    }
    if (v.previewError) {
        o.insert(u"previewError"_s, *v.previewError);
    }
    return o;
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

BuildMetadata decodeBuildMetadata(const JsonReader& r) {
    return {json::stringAt(r, u"appName"),
            json::stringAt(r, u"bundleIdentifier"),
            json::stringAt(r, u"version"),
            json::stringAt(r, u"buildNumber"),
            json::stringAt(r, u"platform"),
            json::stringAt(r, u"minimumOS"),
            decodeStrings(r.member(u"architectures")),
            decodeStrings(r.member(u"sdkNames")),
            r.member(u"bundleSize").integer(),
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
    return {json::stringAt(r, u"appName"),
            json::stringAt(r, u"bundleIdentifier"),
            json::stringAt(r, u"version"),
            json::stringAt(r, u"buildNumber"),
            json::stringAt(r, u"platform"),
            json::stringAt(r, u"minimumOS"),
            json::optionalDataAt(r, u"iconPNG"),
            json::optionalStringAt(r, u"targetDevices"),
            json::optionalIntegerAt(r, u"bundleSize")};
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
