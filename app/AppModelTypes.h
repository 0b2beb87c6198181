#pragma once

#include "model/AppSection.h"
#include "model/ReportEnums.h"
#include "model/ScanPhase.h"
#include "model/ScanReport.h"
#include "model/StagedBuild.h"

#include <map>
#include <optional>
#include <vector>

namespace bw {

// The screenshot chosen for each review area, as a file path; at most one per area.
using ScreenshotSlots = std::map<ScreenshotPrompt, QString>;

} // namespace bw
