#pragma once

#include "model/ScanReport.h"

#include <QByteArray>
#include <QUuid>
#include <optional>
#include <vector>

// The bytes of a history file: an envelope {"reports": [...], "schemaVersion": 1}, or the bare
// array of reports that older versions wrote.
namespace bw {

struct DecodedHistory {
    enum class State {
        decoded, // `reports` holds the history
        newer,   // an envelope whose schema version is above ours: another version's data
        damaged  // anything else we cannot read, other schema versions included
    };

    // A report of a decoded history that could not be read and is left out of `reports`: it
    // stood before reports[position], and its id is there when that much of it reads.
    struct Undecodable {
        std::size_t position;
        std::optional<QUuid> id;
        bool operator==(const Undecodable&) const = default;
    };

    State state;
    std::vector<ScanReport> reports;
    std::vector<Undecodable> undecodable;
    QString damage = {}; // damaged: why, in the user's words ("The data is not valid JSON (…)")
};

// Classifies and decodes; never throws. One report that does not decode leaves the others
// readable; the envelope itself, or a schema version other than ours, does not.
DecodedHistory decodeHistory(const QByteArray& bytes);

// The envelope with schema version 1, pretty-printed with sorted keys. Throws json::EncodeError
// when a report holds a number that JSON cannot carry.
QByteArray encodeHistory(const std::vector<ScanReport>& reports);

} // namespace bw
