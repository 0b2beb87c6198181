#include "ui/report/FindingEvidencePresentation.h"

#include <QLocale>
#include <algorithm>

namespace bw::report {
namespace {

// Tool output can run to thousands of lines (codesign names every file that breaks the seal),
// which would take seconds to lay out at every width: the panel shows its first lines and says
// how many more the report holds (the copied report has them all).
constexpr qsizetype shownLines = 40;
constexpr qsizetype shownCharacters = 4000;

QString bounded(const QString& text) {
    qsizetype cut = std::min(text.size(), shownCharacters);
    qsizetype lines = 0;
    for (qsizetype at = text.indexOf(u'\n'); at >= 0 && at < cut;
         at = text.indexOf(u'\n', at + 1)) {
        if (++lines == shownLines) {
            cut = at;
        }
    }
    if (cut == text.size()) {
        return text;
    }
    const qsizetype hidden = text.count(u'\n') - text.first(cut).count(u'\n');
    QString shown = text.first(cut) + u'…';
    if (hidden > 0) {
        shown +=
            (hidden == 1 ? QStringLiteral("\n%1 more line") : QStringLiteral("\n%1 more lines"))
                .arg(QLocale().toString(hidden));
    }
    return shown;
}

std::vector<FindingEvidenceField> trimmedFields(const Finding& finding) {
    std::vector<FindingEvidenceField> kept;
    for (const auto& field : finding.evidenceFields.value_or(std::vector<FindingEvidenceField>{})) {
        FindingEvidenceField trimmed{field.label.trimmed(), field.value.trimmed()};
        if (!trimmed.label.isEmpty() && !trimmed.value.isEmpty()) {
            kept.push_back(std::move(trimmed));
        }
    }
    return kept;
}

std::vector<FindingEvidenceField> entitlementFields(const QString& name, const QString& detected,
                                                    const QString& expected) {
    return {{QStringLiteral("Entitlement"), name},
            {QStringLiteral("Detected"), detected},
            {QStringLiteral("Expected"), expected}};
}

} // namespace

FindingEvidencePresentation::FindingEvidencePresentation(const Finding& finding)
    : fields(trimmedFields(finding)) {
    if (!fields.empty()) {
        return;
    }
    const QString text = finding.evidence.trimmed();
    const QString lower = text.toLower();
    if (text.isEmpty() || lower == u"build scan") {
        return;
    }
    if (lower.contains(u"aps-environment") && lower.contains(u"development")) {
        fields = entitlementFields(QStringLiteral("aps-environment"), QStringLiteral("development"),
                                   QStringLiteral("production"));
        return;
    }
    if (lower.contains(u"get-task-allow") && lower.contains(u"true")) {
        fields = entitlementFields(QStringLiteral("get-task-allow"), QStringLiteral("true"),
                                   QStringLiteral("absent"));
        return;
    }
    // An "=" followed by a combining mark belongs to another character and does not split.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool joined = i + 1 < text.size() && text.at(i + 1).isMark();
        if (text.at(i) != u'=' || joined) {
            continue;
        }
        const QString key = text.first(i).trimmed();
        const QString detected = text.sliced(i + 1).trimmed();
        if (!key.isEmpty() && !detected.isEmpty()) {
            fields = {{QStringLiteral("Key"), bounded(key)},
                      {QStringLiteral("Detected"), bounded(detected)}};
            return;
        }
        break;
    }
    note = bounded(text);
}

} // namespace bw::report
