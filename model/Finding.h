#pragma once

#include "model/ReportEnums.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

// One row of structured evidence shown under a finding.
struct FindingEvidenceField {
    QString label;
    QString value;

    // Rows whose joined texts agree share an identity, even if they split differently.
    QString id() const { return label + u':' + value; }
    bool operator==(const FindingEvidenceField&) const = default;
};

struct ResolutionStep {
    QString title;
    QString instruction;

    bool operator==(const ResolutionStep&) const = default;
};

struct FindingResolution {
    QString summary;
    std::vector<ResolutionStep> steps;
    QString verification;
    QString solutionPrompt;

    bool operator==(const FindingResolution&) const = default;
};

// One observation about the build. `id` is a dotted rule key and identifies the finding within
// its report.
struct Finding {
    QString id;
    FindingSeverity severity;
    FindingCategory category;
    QString guideline;
    std::optional<QString> itms;
    QString title;
    QString detail;
    QString evidence;
    std::optional<std::vector<FindingEvidenceField>> evidenceFields;
    QString fix;
    double confidence;
    EvidenceSource source;
    std::optional<FindingResolution> resolution;

    bool operator==(const Finding&) const = default;
};

// A finding written here rather than by a service: no ITMS code, evidence rows or resolution.
inline Finding plainFinding(QString id, FindingSeverity severity, FindingCategory category,
                            QString guideline, QString title, QString detail, QString evidence,
                            QString fix, double confidence, EvidenceSource source) {
    return {std::move(id), severity,         category,          std::move(guideline),
            std::nullopt,  std::move(title), std::move(detail), std::move(evidence),
            std::nullopt,  std::move(fix),   confidence,        source,
            std::nullopt};
}

size_t qHash(const FindingEvidenceField& value, size_t seed = 0);
size_t qHash(const ResolutionStep& value, size_t seed = 0);
size_t qHash(const FindingResolution& value, size_t seed = 0);
size_t qHash(const Finding& value, size_t seed = 0);

} // namespace bw
