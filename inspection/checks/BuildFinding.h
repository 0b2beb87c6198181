#pragma once

#include "model/Finding.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

// The fixed part of one rule's finding.
struct FindingRule {
    const char* id;
    FindingSeverity severity;
    FindingCategory category;
    const char* guideline;
    double confidence;
    const char* title;
    const char* detail;
    const char* fix;
    const char* itms = nullptr;
};

// A finding of the build scan: the rule's texts with this build's evidence.
Finding buildFinding(const FindingRule& rule, QString evidence,
                     std::optional<std::vector<FindingEvidenceField>> evidenceFields = {});

// The same with an id, title and fix that name a key of this build.
Finding buildFinding(const FindingRule& rule, QString id, QString title, QString evidence,
                     QString fix);

} // namespace bw
