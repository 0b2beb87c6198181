#include "inspection/ScanFindings.h"

#include <QFileInfo>
#include <QStringList>

namespace bw {

namespace {

void relativize(QString& text, const QStringList& prefixes) {
    for (const QString& prefix : prefixes) {
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
    // Tools may name the folder by its resolved path (/private/var/… for /var/… on a Mac).
    QStringList prefixes;
    if (!workFolder.isEmpty()) {
        prefixes << workFolder + u'/';
        const QString resolved = QFileInfo(workFolder).canonicalFilePath();
        if (!resolved.isEmpty() && resolved != workFolder) {
            prefixes << resolved + u'/';
        }
    }
    for (Finding& finding : findings) {
        relativize(finding.title, prefixes);
        relativize(finding.detail, prefixes);
        relativize(finding.evidence, prefixes);
        relativize(finding.fix, prefixes);
        if (finding.evidenceFields) {
            for (FindingEvidenceField& field : *finding.evidenceFields) {
                relativize(field.value, prefixes);
            }
        }
        finding.evidence = boundedEvidence(finding.evidence);
    }
}

} // namespace bw
