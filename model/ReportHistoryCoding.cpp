#include "model/ReportHistoryCoding.h"

#include "model/ReportJson.h"
#include "platform/json/JsonWriter.h"

#include <QJsonArray>

namespace bw {

namespace {

constexpr qint64 currentSchemaVersion = 1;

std::vector<ScanReport> decodeReports(const json::JsonReader& reader) {
    return reader.array<ScanReport>(decodeScanReport);
}

// A newer version may have changed the reports as well, so only the version number is looked at.
bool isNewerEnvelope(const QJsonValue& document) {
    const QJsonValue version = document.toObject().value(QStringLiteral("schemaVersion"));
    try {
        return json::JsonReader(version).integer() > currentSchemaVersion;
    } catch (const json::DecodeError&) {
        return false;
    }
}

std::optional<std::vector<ScanReport>> decodeEnvelope(const QJsonValue& document) {
    try {
        const json::JsonReader reader(document);
        const qint64 version = reader.member(u"schemaVersion").integer();
        std::vector<ScanReport> reports = decodeReports(reader.member(u"reports"));
        if (version != currentSchemaVersion) {
            return std::nullopt;
        }
        return reports;
    } catch (const json::DecodeError&) {
        return std::nullopt;
    }
}

} // namespace

DecodedHistory decodeHistory(const QByteArray& bytes) {
    const DecodedHistory damaged{DecodedHistory::State::damaged, {}};
    QJsonValue document;
    try {
        document = json::parseDocument(bytes);
    } catch (const json::DecodeError&) {
        return damaged;
    }
    if (document.isObject()) {
        if (isNewerEnvelope(document)) {
            return {DecodedHistory::State::newer, {}};
        }
        if (auto reports = decodeEnvelope(document)) {
            return {DecodedHistory::State::decoded, std::move(*reports)};
        }
        return damaged;
    }
    try {
        return {DecodedHistory::State::decoded, decodeReports(json::JsonReader(document))};
    } catch (const json::DecodeError&) {
        return damaged;
    }
}

QByteArray encodeHistory(const std::vector<ScanReport>& reports) {
    QJsonArray array;
    for (const ScanReport& report : reports) {
        array.append(toJson(report));
    }
    const QJsonObject envelope{{QStringLiteral("reports"), array},
                               {QStringLiteral("schemaVersion"), currentSchemaVersion}};
    return json::write(envelope, json::Layout::pretty);
}

} // namespace bw
