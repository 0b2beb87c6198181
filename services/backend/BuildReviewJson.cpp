#include "services/backend/BuildReviewJson.h"

#include "model/ReportJson.h"
#include "platform/json/JsonValues.h"

#include <QJsonArray>

namespace bw {

using namespace Qt::Literals::StringLiterals;
using json::JsonReader;

namespace {

using json::stringArray;

template <typename T> QJsonArray objectArray(const std::vector<T>& values) {
    return json::arrayOf(values, [](const T& value) { return toJson(value); });
}

std::vector<QString> stringsAt(const JsonReader& reader, QStringView key) {
    return reader.member(key).strings();
}

} // namespace

QJsonObject toJson(const BuildEvidenceFinding& v) {
    QJsonObject object{{u"id"_s, v.id},
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
        object.insert(u"itms"_s, *v.itms);
    }
    return object;
}

QJsonObject toJson(const BuildReviewContext& v) {
    return {{u"name"_s, v.appName},
            {u"bundleIdentifier"_s, v.bundleIdentifier},
            {u"version"_s, v.version},
            {u"buildNumber"_s, v.buildNumber},
            {u"platform"_s, v.platform},
            {u"minimumOS"_s, v.minimumOS},
            {u"architectures"_s, stringArray(v.architectures)},
            {u"sdkNames"_s, stringArray(v.sdkNames)},
            {u"bundleSize"_s, v.bundleSize}};
}

QJsonObject toJson(const BuildReviewRequest& v) {
    return {{u"rulesVersion"_s, v.rulesVersion},
            {u"app"_s, toJson(v.app)},
            {u"localFindings"_s, objectArray(v.localFindings)},
            {u"passedChecks"_s, stringArray(v.passedChecks)}};
}

RemoteBuildFinding decodeRemoteBuildFinding(const JsonReader& r) {
    std::optional<std::vector<FindingEvidenceField>> evidenceFields;
    if (const auto member = r.optionalMember(u"evidenceFields")) {
        evidenceFields = member->array<FindingEvidenceField>(decodeFindingEvidenceField);
    }
    std::optional<FindingResolution> resolution;
    if (const auto member = r.optionalMember(u"resolution")) {
        resolution = decodeFindingResolution(*member);
    }
    return {decodeEnum<FindingSeverity>(r.member(u"severity")),
            decodeEnum<FindingCategory>(r.member(u"category")),
            json::stringAt(r, u"guideline"),
            json::stringAt(r, u"title"),
            json::stringAt(r, u"detail"),
            json::stringAt(r, u"evidence"),
            std::move(evidenceFields),
            json::stringAt(r, u"fix"),
            r.member(u"confidence").number(),
            decodeEnum<EvidenceSource>(r.member(u"source")),
            std::move(resolution)};
}

RemoteFindingResolution decodeRemoteFindingResolution(const JsonReader& r) {
    return {json::stringAt(r, u"findingId"), decodeFindingResolution(r.member(u"resolution"))};
}

BuildAnalysisResponse decodeBuildAnalysisResponse(const JsonReader& r) {
    std::optional<std::vector<RemoteFindingResolution>> resolutions;
    if (const auto member = r.optionalMember(u"resolutions")) {
        resolutions = member->array<RemoteFindingResolution>(decodeRemoteFindingResolution);
    }
    return {r.member(u"findings").array<RemoteBuildFinding>(decodeRemoteBuildFinding),
            std::move(resolutions),
            stringsAt(r, u"passedChecks"),
            r.member(u"reviewedEvidenceCount").integer(),
            json::stringAt(r, u"rulesVersion"),
            json::optionalStringAt(r, u"solutionSchemaVersion")};
}

} // namespace bw
