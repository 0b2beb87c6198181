#include "inspection/ScanFindings.h"

namespace bw {

namespace {

void relativize(QString& text, const QString& prefix) {
    if (!prefix.isEmpty()) {
        text.replace(prefix, QString());
    }
}

} // namespace

QString boundedEvidence(const QString& evidence) {
    if (evidence.size() <= maxStoredEvidence) {
        return evidence;
    }
    // Room for the closing line, so that the whole stays within the bound.
    const qsizetype room = maxStoredEvidence - 64;
    const qsizetype lastBreak = evidence.lastIndexOf(u'\n', room);
    // A line longer than the bound is cut inside it, never inside a character.
    qsizetype kept = lastBreak > 0 ? lastBreak : room;
    if (lastBreak <= 0 && evidence.at(kept - 1).isHighSurrogate()) {
        --kept;
    }
    QStringView rest = QStringView(evidence).sliced(lastBreak > 0 ? kept + 1 : kept);
    while (rest.endsWith(u'\n')) {
        rest.chop(1);
    }
    const qsizetype leftOut = rest.count(u'\n') + 1;
    return evidence.first(kept) + QStringLiteral("\n\u2026 %1 more %2 left out")
                                      .arg(leftOut)
                                      .arg(leftOut == 1 ? u"line" : u"lines");
}

void settleFindings(std::vector<Finding>& findings, const QString& workFolder) {
    const QString prefix = workFolder.isEmpty() ? QString() : workFolder + u'/';
    for (Finding& finding : findings) {
        relativize(finding.title, prefix);
        relativize(finding.detail, prefix);
        relativize(finding.evidence, prefix);
        relativize(finding.fix, prefix);
        if (finding.evidenceFields) {
            for (FindingEvidenceField& field : *finding.evidenceFields) {
                relativize(field.value, prefix);
            }
        }
        finding.evidence = boundedEvidence(finding.evidence);
    }
}

} // namespace bw
