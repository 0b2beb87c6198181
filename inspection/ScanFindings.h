#pragma once

#include "model/Finding.h"

#include <QString>
#include <vector>

namespace bw {

// The most evidence text one finding keeps: a tool that lists every file of a huge bundle would
// otherwise make every later save of the history rewrite megabytes.
inline constexpr qsizetype maxStoredEvidence = 64 * 1024;

// `evidence` cut after the last whole line that fits maxStoredEvidence, with a last line that
// says how many lines were left out; shorter evidence comes back unchanged.
QString boundedEvidence(const QString& evidence);

// Readies the checks' findings for the report: paths inside `workFolder` (where an .ipa was
// unpacked, deleted once the scan ends) are written relative to it ("Payload/App.app/…"), and
// evidence is bounded. An empty `workFolder` leaves paths alone.
void settleFindings(std::vector<Finding>& findings, const QString& workFolder);

} // namespace bw
