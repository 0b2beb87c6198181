#include "model/FindingOrder.h"

#include "model/ReportHelpers.h"
#include "model/TextOrder.h"

#include <algorithm>

namespace bw {

void rankFindings(std::vector<Finding>& findings, FindingRanking ranking) {
    std::ranges::stable_sort(findings, [ranking](const Finding& a, const Finding& b) {
        // Declared blocker, risk, manual.
        if (a.severity != b.severity || ranking == FindingRanking::severity) {
            return a.severity < b.severity;
        }
        if (ranking == FindingRanking::severityCategoryAndTitle && a.category != b.category) {
            return scalarLess(title(a.category), title(b.category));
        }
        return scalarLess(a.title, b.title);
    });
}

Verdict verdictFor(const std::vector<Finding>& findings) {
    return std::ranges::any_of(
               findings,
               [](const Finding& finding) { return finding.severity == FindingSeverity::blocker; })
               ? Verdict::needsAttention
               : Verdict::noConfirmedBlockers;
}

} // namespace bw
