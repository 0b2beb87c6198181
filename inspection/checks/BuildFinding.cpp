#include "inspection/checks/BuildFinding.h"

namespace bw {

Finding buildFinding(const FindingRule& rule, QString evidence,
                     std::optional<std::vector<FindingEvidenceField>> evidenceFields) {
    return Finding{QString::fromUtf8(rule.id),
                   rule.severity,
                   rule.category,
                   QString::fromUtf8(rule.guideline),
                   rule.itms ? std::optional<QString>(QString::fromUtf8(rule.itms)) : std::nullopt,
                   QString::fromUtf8(rule.title),
                   QString::fromUtf8(rule.detail),
                   std::move(evidence),
                   std::move(evidenceFields),
                   QString::fromUtf8(rule.fix),
                   rule.confidence,
                   EvidenceSource::build,
                   std::nullopt};
}

Finding buildFinding(const FindingRule& rule, QString id, QString title, QString evidence,
                     QString fix) {
    Finding finding = buildFinding(rule, std::move(evidence));
    finding.id = std::move(id);
    finding.title = std::move(title);
    finding.fix = std::move(fix);
    return finding;
}

} // namespace bw
