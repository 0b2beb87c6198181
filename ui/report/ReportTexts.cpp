#include "ui/report/ReportTexts.h"

#include "model/FindingOrder.h"
#include "model/ReportHelpers.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace bw::report {

std::vector<Finding> visibleFindings(const ScanReport& report,
                                     std::optional<FindingSeverity> filter) {
    std::vector<Finding> visible;
    std::copy_if(report.findings.begin(), report.findings.end(), std::back_inserter(visible),
                 [&](const Finding& finding) { return !filter || finding.severity == *filter; });
    rankFindings(visible, FindingRanking::severity);
    return visible;
}

std::optional<std::size_t> expandedRow(const std::vector<Finding>& visible,
                                       const std::optional<QString>& selectedID) {
    if (!selectedID) {
        return std::nullopt;
    }
    const auto match = std::find_if(visible.begin(), visible.end(), [&](const Finding& finding) {
        return finding.id == *selectedID;
    });
    if (match == visible.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(match - visible.begin());
}

QString summaryLabel(const ScanReport& report, bool isPassedSelected) {
    if (isPassedSelected) {
        return QString::number(report.passedChecks.size()) + u" passed checks"_s;
    }
    const auto count = report.findings.size();
    return count == 1 ? QStringLiteral("1 finding") : QString::number(count) + u" findings"_s;
}

QString headline(const ScanReport& report) {
    if (report.verdict != Verdict::needsAttention) {
        return QStringLiteral("No confirmed blockers");
    }
    const auto blockers = blockerCount(report);
    return blockers == 1 ? QStringLiteral("1 blocker needs attention")
                         : QString::number(blockers) + u" blockers need attention"_s;
}

QString nextStepText(const ScanReport& report) {
    if (report.verdict == Verdict::needsAttention) {
        return QStringLiteral("Resolve these issues before your next App Store submission, then "
                              "scan the updated build again.");
    }
    if (manualCount(report) > 0) {
        return QStringLiteral("Review the remaining manual checks before submitting.");
    }
    return QStringLiteral("Complete a final App Store review before submitting.");
}

QString sectionTitle(FindingSeverity severity) {
    switch (severity) {
    case FindingSeverity::blocker:
        return QStringLiteral("Required fix");
    case FindingSeverity::risk:
        return QStringLiteral("Recommended change");
    case FindingSeverity::manual:
        return QStringLiteral("Review checklist");
    }
    Q_UNREACHABLE();
    return {};
}

QString emptyTitle(std::optional<FindingSeverity> filter) {
    if (!filter) {
        return QStringLiteral("Everything looks clear");
    }
    switch (*filter) {
    case FindingSeverity::blocker:
        return QStringLiteral("No blockers found");
    case FindingSeverity::risk:
        return QStringLiteral("No risks found");
    case FindingSeverity::manual:
        return QStringLiteral("No manual checks remaining");
    }
    Q_UNREACHABLE();
    return {};
}

QString emptyMessage(std::optional<FindingSeverity> filter) {
    if (!filter) {
        return QStringLiteral("This report contains no confirmed issues or remaining review items. "
                              "Complete your final App Store review before uploading.");
    }
    switch (*filter) {
    case FindingSeverity::blocker:
        return QStringLiteral(
            "This scan found no confirmed technical issue that should stop submission.");
    case FindingSeverity::risk:
        return QStringLiteral("This scan found no potential review risk in this category.");
    case FindingSeverity::manual:
        return QStringLiteral("This report has no item waiting for a final human check.");
    }
    Q_UNREACHABLE();
    return {};
}

QString categorySymbol(FindingCategory category) {
    switch (category) {
    case FindingCategory::package:
        return QStringLiteral("shippingbox");
    case FindingCategory::signing:
        return QStringLiteral("signature");
    case FindingCategory::privacy:
        return QStringLiteral("hand.raised");
    case FindingCategory::permissions:
        return QStringLiteral("key.horizontal");
    case FindingCategory::binary:
        return QStringLiteral("cpu");
    case FindingCategory::resources:
        return QStringLiteral("photo.on.rectangle");
    case FindingCategory::payments:
        return QStringLiteral("creditcard");
    case FindingCategory::metadata:
        return QStringLiteral("text.document");
    case FindingCategory::screenshots:
        return QStringLiteral("rectangle.stack");
    case FindingCategory::manual:
        return QStringLiteral("person.crop.circle");
    }
    Q_UNREACHABLE();
    return {};
}

} // namespace bw::report
