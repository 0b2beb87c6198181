#pragma once

#include "model/GuidelineReference.h"
#include "model/ScanReport.h"
#include "tests/support/FieldOf.h"

#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace bw::test {

inline std::vector<QString> findingIds(const std::vector<Finding>& findings) {
    return fieldOf(findings, &Finding::id);
}

// Each finding's id and evidence, one a line: a failure message that says why a finding came.
inline std::string describeFindings(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& finding : findings) {
        text += finding.id.toStdString() + ": " + finding.evidence.toStdString() + "\n";
    }
    return text;
}

inline const Finding* findingWithId(const std::vector<Finding>& findings, const QString& id) {
    const auto found = std::find_if(findings.begin(), findings.end(),
                                    [&](const Finding& finding) { return finding.id == id; });
    return found == findings.end() ? nullptr : &*found;
}

// What can really be wrong with the findings one source raises, whatever their wording: a
// repeated id, a blank text, a guideline the guideline table does not hold, a finding that claims
// another source, or a confidence outside (0, 1].
inline void expectSoundFindings(const std::vector<Finding>& findings, EvidenceSource source) {
    QSet<QString> ids;
    for (const Finding& finding : findings) {
        SCOPED_TRACE(finding.id.toStdString());
        EXPECT_FALSE(ids.contains(finding.id));
        ids.insert(finding.id);
        for (const QString* text :
             {&finding.id, &finding.title, &finding.detail, &finding.evidence, &finding.fix}) {
            EXPECT_FALSE(text->trimmed().isEmpty());
        }
        // A guideline is a row of the table or a section holding rows (3.1 holds 3.1.1).
        const bool listed = std::ranges::any_of(GuidelineReference::all(), [&](const auto& row) {
            return row.id == finding.guideline || row.id.startsWith(finding.guideline + u'.');
        });
        EXPECT_TRUE(listed) << finding.guideline.toStdString();
        EXPECT_EQ(finding.source, source);
        EXPECT_GT(finding.confidence, 0.0);
        EXPECT_LE(finding.confidence, 1.0);
        EXPECT_EQ(finding.category == FindingCategory::manual,
                  finding.severity == FindingSeverity::manual && finding.id.startsWith(u"manual."))
            << "a manual category goes with a manual review";
        EXPECT_TRUE(finding.itms.value_or(QStringLiteral("ITMS-")).startsWith(u"ITMS-"))
            << finding.itms.value_or(QString()).toStdString();
        for (const FindingEvidenceField& field :
             finding.evidenceFields.value_or(std::vector<FindingEvidenceField>{})) {
            EXPECT_FALSE(field.label.trimmed().isEmpty());
        }
    }
}

} // namespace bw::test
