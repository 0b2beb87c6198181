#pragma once

#include "model/ReportEnums.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

// What the screenshot analysis of the web service sends.

// The build the screenshots belong to, as sent, nothing clipped.
struct BuildContext {
    QString name;
    QString bundleIdentifier;
    QString version;
    QString platform;

    bool operator==(const BuildContext&) const = default;
};

struct ScreenshotUpload {
    QString fileName; // the selected file's name with ".jpg" for its extension
    QString mediaType;
    QString base64;
    QString reviewArea; // the area's raw value
    QString reviewExpectation;

    bool operator==(const ScreenshotUpload&) const = default;
};

struct ScreenshotRequest {
    QString batchId;
    BuildContext app;
    std::vector<ScreenshotUpload> screenshots;
    QString purpose;

    bool operator==(const ScreenshotRequest&) const = default;
};

// What it answers.

struct RemoteScreenshotFinding {
    FindingSeverity severity;
    QString guideline;
    QString title;
    QString detail;
    QString evidence;
    QString fix;
    double confidence;
    std::optional<QString> fileName;
    std::optional<ScreenshotPrompt> reviewArea;

    bool operator==(const RemoteScreenshotFinding&) const = default;
};

struct RemoteScreenshotAssessment {
    QString fileName; // the upload's ".jpg" name
    ScreenshotPrompt reviewArea;
    ScreenshotAssessmentStatus status;
    QString summary;
    bool analyzed;

    bool operator==(const RemoteScreenshotAssessment&) const = default;
};

struct ScreenshotAnalysisResponse {
    std::vector<RemoteScreenshotFinding> findings;
    std::vector<QString> passedChecks;
    qint64 analyzedCount;
    std::vector<RemoteScreenshotAssessment> assessments; // empty when absent or null

    bool operator==(const ScreenshotAnalysisResponse&) const = default;
};

} // namespace bw
