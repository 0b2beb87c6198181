#include "services/screenshots/ScreenshotAnalysisJson.h"

#include "model/ReportJson.h"

#include <QJsonArray>

namespace bw {

using namespace Qt::Literals::StringLiterals;
using json::JsonReader;

namespace {

RemoteScreenshotFinding decodeRemoteScreenshotFinding(const JsonReader& r) {
    std::optional<ScreenshotPrompt> area;
    if (const auto member = r.optionalMember(u"reviewArea")) {
        area = decodeEnum<ScreenshotPrompt>(*member);
    }
    return {decodeEnum<FindingSeverity>(r.member(u"severity")),
            json::stringAt(r, u"guideline"),
            json::stringAt(r, u"title"),
            json::stringAt(r, u"detail"),
            json::stringAt(r, u"evidence"),
            json::stringAt(r, u"fix"),
            r.member(u"confidence").number(),
            json::optionalStringAt(r, u"fileName"),
            area};
}

RemoteScreenshotAssessment decodeRemoteScreenshotAssessment(const JsonReader& r) {
    return {json::stringAt(r, u"fileName"), decodeEnum<ScreenshotPrompt>(r.member(u"reviewArea")),
            decodeEnum<ScreenshotAssessmentStatus>(r.member(u"status")),
            json::stringAt(r, u"summary"), r.member(u"analyzed").boolean()};
}

} // namespace

QJsonObject toJson(const BuildContext& v) {
    return {{u"name"_s, v.name},
            {u"bundleIdentifier"_s, v.bundleIdentifier},
            {u"version"_s, v.version},
            {u"platform"_s, v.platform}};
}

QJsonObject toJson(const ScreenshotUpload& v) {
    return {{u"fileName"_s, v.fileName},
            {u"mediaType"_s, v.mediaType},
            {u"base64"_s, v.base64},
            {u"reviewArea"_s, v.reviewArea},
            {u"reviewExpectation"_s, v.reviewExpectation}};
}

QJsonObject toJson(const ScreenshotRequest& v) {
    QJsonArray screenshots;
    for (const ScreenshotUpload& upload : v.screenshots) {
        screenshots.append(toJson(upload));
    }
    return {{u"batchId"_s, v.batchId},
            {u"app"_s, toJson(v.app)},
            {u"screenshots"_s, screenshots},
            {u"purpose"_s, v.purpose}};
}

ScreenshotAnalysisResponse decodeScreenshotAnalysisResponse(const JsonReader& r) {
    std::vector<RemoteScreenshotAssessment> assessments;
    if (const auto member = r.optionalMember(u"assessments")) {
        assessments = member->array<RemoteScreenshotAssessment>(decodeRemoteScreenshotAssessment);
    }
    return {
        r.member(u"findings").array<RemoteScreenshotFinding>(decodeRemoteScreenshotFinding),
        r.member(u"passedChecks").array<QString>([](const JsonReader& e) { return e.string(); }),
        r.member(u"analyzedCount").integer(), std::move(assessments)};
}

} // namespace bw
