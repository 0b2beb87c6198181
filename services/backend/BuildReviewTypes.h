#pragma once

#include "model/BuildIdentity.h"
#include "model/Finding.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

// What the build-evidence review sends: a size-bounded summary of one report.

struct BuildEvidenceFinding {
    QString id;
    FindingSeverity severity;
    FindingCategory category;
    QString guideline;
    std::optional<QString> itms;
    QString title;
    QString detail;
    QString evidence;
    QString fix;
    double confidence;
    EvidenceSource source;

    bool operator==(const BuildEvidenceFinding&) const = default;
};

struct BuildReviewContext : BuildIdentity {
    std::vector<QString> architectures;
    std::vector<QString> sdkNames;
    qint64 bundleSize;

    bool operator==(const BuildReviewContext&) const = default;
};

struct BuildReviewRequest {
    QString rulesVersion;
    BuildReviewContext app;
    std::vector<BuildEvidenceFinding> localFindings;
    std::vector<QString> passedChecks;

    bool operator==(const BuildReviewRequest&) const = default;
};

// What the review answers.

// A finding the service proposes; it has no id of its own.
struct RemoteBuildFinding {
    FindingSeverity severity;
    FindingCategory category;
    QString guideline;
    QString title;
    QString detail;
    QString evidence;
    std::optional<std::vector<FindingEvidenceField>> evidenceFields;
    QString fix;
    double confidence;
    EvidenceSource source;
    std::optional<FindingResolution> resolution;

    bool operator==(const RemoteBuildFinding&) const = default;
};

// A resolution for one of the findings that were sent, keyed by the id as sent.
struct RemoteFindingResolution {
    QString findingId;
    FindingResolution resolution;

    bool operator==(const RemoteFindingResolution&) const = default;
};

struct BuildAnalysisResponse {
    std::vector<RemoteBuildFinding> findings;
    std::optional<std::vector<RemoteFindingResolution>> resolutions;
    std::vector<QString> passedChecks;
    qint64 reviewedEvidenceCount;
    QString rulesVersion;
    std::optional<QString> solutionSchemaVersion;

    bool operator==(const BuildAnalysisResponse&) const = default;
};

} // namespace bw
