#include "model/ReportHistoryCoding.h"

#include "model/ReportJson.h"
#include "model/SharedTexts.h"
#include "platform/json/JsonWriter.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <mutex>

namespace bw {

namespace {

constexpr qint64 currentSchemaVersion = 1;

// The reports of a run of consecutive elements of the history, each decoded on the thread that
// parses the run, right after it is parsed. Reports decode apart from each other: one that does
// not is counted and left out instead of hiding the rest.
struct DecodedRun {
    std::size_t array;
    std::size_t order;
    std::vector<ScanReport> reports;
    std::vector<DecodedHistory::Undecodable> undecodable; // positions within this run
    RepeatedTexts texts;

    void take(json::Value element) {
        const json::JsonReader report{json::Document(std::move(element))};
        try {
            reports.push_back(decodeScanReport(report));
            texts.share(reports.back());
        } catch (const json::DecodeError&) {
            undecodable.push_back({reports.size(), idOf(report)});
        }
    }

    // The id of a report that does not decode, so that a copy of it can be looked for.
    static std::optional<QUuid> idOf(const json::JsonReader& report) {
        try {
            return report.member(u"id").uuid();
        } catch (const json::DecodeError&) {
            return std::nullopt;
        }
    }
};

// Every run of the parse, put back in order once it is done.
class DecodedRuns {
public:
    json::TakeElement run(std::size_t array, std::size_t order) {
        auto run = std::make_unique<DecodedRun>(DecodedRun{array, order, {}, {}, {}});
        DecodedRun* taking = run.get();
        const std::lock_guard lock(mutex_);
        runs_.push_back(std::move(run));
        return [taking](json::Value element) { taking->take(std::move(element)); };
    }

    // Those of the last array taken: a key given twice, or the array parsed again.
    DecodedHistory history() && {
        std::size_t last = 0;
        for (const auto& run : runs_) {
            last = std::max(last, run->array);
        }
        std::erase_if(runs_, [last](const auto& run) { return run->array != last; });
        std::ranges::sort(runs_, {}, [](const auto& run) { return run->order; });
        DecodedHistory history{DecodedHistory::State::decoded, {}, {}};
        std::size_t count = 0;
        for (const auto& run : runs_) {
            count += run->reports.size();
        }
        history.reports.reserve(count);
        for (const auto& run : runs_) {
            for (const DecodedHistory::Undecodable& lost : run->undecodable) {
                history.undecodable.push_back({history.reports.size() + lost.position, lost.id});
            }
            std::move(run->reports.begin(), run->reports.end(),
                      std::back_inserter(history.reports));
        }
        return history;
    }

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<DecodedRun>> runs_;
};

// A newer version may have changed the reports as well, so only the version number is looked at.
bool isNewerEnvelope(const json::JsonReader& envelope) {
    try {
        const std::optional<qint64> version = json::optionalIntegerAt(envelope, u"schemaVersion");
        return version && *version > currentSchemaVersion;
    } catch (const json::DecodeError&) {
        return false;
    }
}

// Why an envelope is not ours with its reports, taken as they were parsed, in an array; nothing
// when it is.
std::optional<QString> whyNotCurrentEnvelope(const json::JsonReader& envelope) {
    try {
        envelope.member(u"reports").elements();
        const qint64 version = envelope.member(u"schemaVersion").integer();
        if (version == currentSchemaVersion) {
            return std::nullopt;
        }
        return QStringLiteral("Its schemaVersion is %1, which no Berthwatch wrote").arg(version);
    } catch (const json::DecodeError& error) {
        return QStringLiteral("It is no report history (%1)").arg(error.description());
    }
}

} // namespace

DecodedHistory decodeHistory(const QByteArray& bytes) {
    const auto damaged = [](QString why) {
        return DecodedHistory{DecodedHistory::State::damaged, {}, {}, std::move(why)};
    };
    DecodedRuns runs;
    std::optional<json::Document> parsed;
    try {
        parsed.emplace(
            json::parseDocument(bytes, u"reports", [&runs](std::size_t array, std::size_t first) {
                return runs.run(array, first);
            }));
    } catch (const json::DecodeError& error) {
        // The parser's own sentence, without its full stop: the caller ends it.
        return damaged(error.description().chopped(error.description().endsWith(u'.') ? 1 : 0));
    }
    if (parsed->root().isObject()) {
        const json::JsonReader envelope(std::move(*parsed));
        if (isNewerEnvelope(envelope)) {
            return {DecodedHistory::State::newer, {}, {}};
        }
        if (std::optional<QString> why = whyNotCurrentEnvelope(envelope)) {
            return damaged(std::move(*why));
        }
    }
    return std::move(runs).history();
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
