#include "model/ReportHistoryCoding.h"

#include "model/ReportJson.h"
#include "platform/core/InParts.h"
#include "platform/json/JsonWriter.h"

#include <iterator>

namespace bw {

namespace {

constexpr qint64 currentSchemaVersion = 1;

struct DecodedReports {
    std::vector<ScanReport> reports;
    std::size_t undecodable = 0;
};

// Reports decode apart from each other, so a long history is decoded in a few parts at once, and
// one that does not decode is counted and left out instead of hiding the rest.
DecodedReports decodeReports(const json::JsonReader& reader) {
    const std::vector<json::JsonReader> elements = reader.elements();
    std::vector<DecodedReports> parts =
        inParts(elements.size(), 200, [&](std::size_t begin, std::size_t end) {
            DecodedReports part;
            part.reports.reserve(end - begin);
            for (std::size_t i = begin; i < end; ++i) {
                try {
                    part.reports.push_back(decodeScanReport(elements[i].forAnotherThread()));
                } catch (const json::DecodeError&) {
                    ++part.undecodable;
                }
            }
            return part;
        });
    DecodedReports all = std::move(parts.front());
    all.reports.reserve(elements.size());
    for (std::size_t part = 1; part < parts.size(); ++part) {
        std::move(parts[part].reports.begin(), parts[part].reports.end(),
                  std::back_inserter(all.reports));
        all.undecodable += parts[part].undecodable;
    }
    return all;
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

std::optional<DecodedReports> decodeEnvelope(const json::JsonReader& envelope) {
    try {
        const qint64 version = envelope.member(u"schemaVersion").integer();
        DecodedReports reports = decodeReports(envelope.member(u"reports"));
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
            return {DecodedHistory::State::decoded, std::move(reports->reports),
                    reports->undecodable};
        }
        return damaged;
    }
    try {
        DecodedReports reports = decodeReports(document);
        return {DecodedHistory::State::decoded, std::move(reports.reports), reports.undecodable};
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
