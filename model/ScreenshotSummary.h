#pragma once

#include "model/ReportEnums.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

// The review service's result for one screenshot.
struct ScreenshotAssessment {
    QString fileName;
    ScreenshotPrompt reviewArea;
    ScreenshotAssessmentStatus status;
    QString summary;
    bool analyzed;

    bool operator==(const ScreenshotAssessment&) const = default;
};

// What was done with the screenshots of a scan.
struct ScreenshotSummary {
    qint64 count;
    qint64 analyzedCount;
    std::vector<QString> fileNames;
    std::optional<std::vector<QString>> reviewAreas;
    std::optional<qint64> decodedCount;
    std::optional<std::vector<ScreenshotAssessment>> assessments;

    bool operator==(const ScreenshotSummary&) const = default;
};

size_t qHash(const ScreenshotAssessment& value, size_t seed = 0);
size_t qHash(const ScreenshotSummary& value, size_t seed = 0);

} // namespace bw
