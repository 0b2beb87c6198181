#include "ui/report/FindingEvidencePresentation.h"

namespace bw::report {
namespace {

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
            fields = {{QStringLiteral("Key"), key}, {QStringLiteral("Detected"), detected}};
            return;
        }
        break;
    }
    note = text;
}

} // namespace bw::report
