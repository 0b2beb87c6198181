#pragma once

#include "model/ScanReport.h"

namespace bw::report_markdown {

// The report as a shareable Markdown text. Report texts are inserted as they stand, without
// Markdown escaping; the text ends with exactly one line feed.
QString render(const ScanReport& report);

} // namespace bw::report_markdown
