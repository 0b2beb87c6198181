#include "model/ReportHistoryCoding.h"

#include "model/ReportJson.h"
#include "platform/json/JsonWriter.h"

namespace bw {

namespace {

constexpr qint64 currentSchemaVersion = 1;

std::vector<ScanReport> decodeReports(const json::JsonReader& reader) {
    return reader.array<ScanReport>(decodeScanReport);
}

// A newer version may have changed the reports as well, so only the version number is looked at.
bool isNewerEnvelope(const json::JsonReader& envelope) {
    try {
        const std::optional<qint64> version = json::optionalIntegerAt(envelope, u"schemaVersion");
        return version && *version > currentSchemaVersion;
    } catch (const json::DecodeError&) {
        return false;
    }
}

std::optional<std::vector<ScanReport>> decodeEnvelope(const json::JsonReader& envelope) {
    try {
        const qint64 version = envelope.member(u"schemaVersion").integer();
        std::vector<ScanReport> reports = decodeReports(envelope.member(u"reports"));
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
    std::optional<json::Document> parsed;
    try {
        parsed.emplace(json::parseDocument(bytes));
    } catch (const json::DecodeError&) {
        return damaged;
    }
    const bool isEnvelope = parsed->root().isObject();
    const json::JsonReader document(std::move(*parsed));
    if (isEnvelope) {
        if (isNewerEnvelope(document)) {
            return {DecodedHistory::State::newer, {}};
        }
        if (auto reports = decodeEnvelope(document)) {
            return {DecodedHistory::State::decoded, std::move(*reports)};
        }
        return damaged;
    }
    try {
        return {DecodedHistory::State::decoded, decodeReports(document)};
    } catch (const json::DecodeError&) {
        return damaged;
    }
}

QByteArray encodeHistory(const std::vector<ScanReport>& reports) {
    // About 9 KB a report without its icon: room for the usual history in one allocation.
    json::StreamWriter out(json::Layout::pretty, qsizetype(reports.size()) * 10'000);
    out.beginObject();
    out.key(u"reports");
    out.beginArray();
    for (const ScanReport& report : reports) {
        encode(out, report);
    }
    out.endArray();
    out.key(u"schemaVersion");
    out.integer(currentSchemaVersion);
    out.endObject();
    return out.take();
}

} // namespace bw
