#include "model/ReportMarkdown.h"

#include "model/FindingText.h"
#include "model/ReportHelpers.h"
#include "platform/json/JsonValues.h"

#include <QStringList>

namespace bw::report_markdown {

using namespace Qt::Literals::StringLiterals;

namespace {

QString verdictText(Verdict verdict) {
    return verdict == Verdict::needsAttention ? QStringLiteral("Fix before submission")
                                              : QStringLiteral("No confirmed blockers");
}

void appendFinding(QStringList& lines, const Finding& finding) {
    lines << u"### ["_s + severityWord(finding.severity) + u"] "_s + finding.title << QString()
          << u"* Guideline: "_s + finding.guideline << u"* Category: "_s + title(finding.category)
          << u"* Source: "_s + rawValue(finding.source)
          << u"* Confidence: "_s + confidenceText(finding.confidence) << QString() << finding.detail
          << QString() << u"**Evidence:** "_s + finding.evidence << QString()
          << u"**Fix:** "_s + finding.fix << QString();
}

} // namespace

QString render(const ScanReport& report) {
    const BuildMetadata& metadata = report.metadata;
    QStringList lines;
    lines << u"# Berthwatch Report: "_s + metadata.appName << QString()
          << u"* Verdict: **"_s + verdictText(report.verdict) + u"**"_s
          << u"* Artifact: `"_s + report.fileName + u'`'
          << u"* Bundle ID: `"_s + metadata.bundleIdentifier + u'`'
          << u"* Version: "_s + metadata.version + u" ("_s + metadata.buildNumber + u')'
          << u"* Platform: "_s + platformDisplayName(metadata)
          << u"* Scanned: "_s + json::formatDate(report.createdAt) << QString()
          << u"> Evidence based review to help you prepare, not a certification from Apple."_s
          << QString() << u"## Findings"_s << QString();
    if (report.findings.empty()) {
        lines << u"No findings."_s;
    }
    for (const Finding& finding : report.findings) {
        appendFinding(lines, finding);
    }
    lines << u"## Passed checks"_s << QString();
    for (const QString& check : report.passedChecks) {
        lines << u"* "_s + check;
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace bw::report_markdown
