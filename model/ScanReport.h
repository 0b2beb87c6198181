#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"
#include "model/ScreenshotSummary.h"

#include <QDateTime>
#include <QUuid>

namespace bw {

// One scan's result. Identified by `id`; equality compares every field.
struct ScanReport {
    QUuid id;
    QDateTime createdAt;
    QString fileName;
    QString sourcePath;
    Verdict verdict;
    BuildMetadata metadata;
    std::vector<Finding> findings;
    std::vector<QString> passedChecks;
    std::optional<ScreenshotSummary> screenshotSummary;
    QString rulesVersion;

    bool operator==(const ScanReport&) const = default;

    // A complete report for a made-up app, built once per process: the same id and date on
    // every read.
    static const ScanReport& sample();
};

size_t qHash(const ScanReport& value, size_t seed = 0);

} // namespace bw
