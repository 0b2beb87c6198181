#pragma once

#include "model/ReportEnums.h"

#include <QString>

namespace bw {

// "Blocker", "Risk" or "Manual".
QString severityWord(FindingSeverity severity);

// The confidence as a whole percentage, truncated toward zero ("87%"). A value whose percentage
// is not a finite number that fits a 64-bit integer shows as "Unknown" rather than a made-up
// number.
QString confidenceText(double confidence);

} // namespace bw
