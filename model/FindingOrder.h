#pragma once

#include "model/Finding.h"
#include "model/ReportEnums.h"

#include <vector>

namespace bw {

// The keys a list of findings is ranked by. Every ranking starts with the severity, blockers
// first, then risks, then manual checks; texts compare on Unicode scalar values. The sort is
// stable: findings equal in every key keep the order they had.
enum class FindingRanking {
    // The report screen: the severity alone, so the report's own order shows through.
    severity,
    // A finished report, once the services' findings have joined it: then the title.
    severityAndTitle,
    // The build's own findings: then the category's title, then the title.
    severityCategoryAndTitle,
};

void rankFindings(std::vector<Finding>& findings, FindingRanking ranking);

// Whether the findings need attention before submission: only a blocker does.
Verdict verdictFor(const std::vector<Finding>& findings);

} // namespace bw
