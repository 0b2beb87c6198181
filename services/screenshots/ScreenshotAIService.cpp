#include "services/screenshots/ScreenshotAIService.h"

#include "model/ReportHelpers.h"
#include "platform/core/Cancelled.h"
#include "platform/http/TransportError.h"
#include "platform/image/JpegEncoding.h"
#include "platform/image/Thumbnail.h"
#include "services/screenshots/AnalyzeScreenshots.h"
#include "services/screenshots/ScreenshotFile.h"
#include "services/screenshots/ScreenshotReviewArea.h"
#include "services/screenshots/ScreenshotReviewFindings.h"

#include <QHash>
#include <algorithm>

namespace bw {

namespace {

namespace review = screenshot_review;

// Uploads stay small: the service needs to read a screen, not inspect its pixels.
constexpr int thumbnailMaxSide = 1800;
constexpr double jpegQuality = 0.86;

struct ScreenshotAssessmentKey {
    QString fileName;
    ScreenshotPrompt reviewArea;

    bool operator==(const ScreenshotAssessmentKey&) const = default;
};

size_t qHash(const ScreenshotAssessmentKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.fileName, rawValue(key.reviewArea));
}

// The running content of one review.
struct Collected {
    std::vector<Finding> findings;
    std::vector<QString> passedChecks;
    std::vector<ScreenshotAssessment> assessments;

    void add(review::Failure failure) {
        findings.push_back(std::move(failure.finding));
        assessments.push_back(std::move(failure.assessment));
    }
};

void throwIfStopped(const std::stop_token& stop) {
    if (stop.stop_requested()) {
        throw Cancelled();
    }
}

// The name without its last extension; a leading dot does not start one.
QString withoutExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.left(dot) : fileName;
}

std::vector<ScreenshotReviewInput>
inputsInAreaOrder(const std::map<ScreenshotPrompt, QString>& screenshotSlots) {
    std::vector<ScreenshotReviewInput> inputs;
    for (const ScreenshotPrompt prompt : allCases<ScreenshotPrompt>()) {
        if (const auto slot = screenshotSlots.find(prompt); slot != screenshotSlots.end()) {
            inputs.push_back({prompt, slot->second});
        }
    }
    return inputs;
}

std::vector<PreparedScreenshotReviewInput>
prepareBatch(const std::vector<ScreenshotReviewInput>& batch, Collected& collected) {
    std::vector<PreparedScreenshotReviewInput> prepared;
    for (const ScreenshotReviewInput& input : batch) {
        const QString fileName = screenshotFileName(input.path);
        try {
            prepared.push_back(ScreenshotAIService::prepare(input.path, input.prompt));
        } catch (const ScreenshotFileError& error) {
            collected.add(review::preparationFailed(input.prompt, fileName, error.description()));
        } catch (const BackendError& error) {
            collected.add(review::preparationFailed(input.prompt, fileName, error.description()));
        }
    }
    return prepared;
}

Finding fromRemote(const RemoteScreenshotFinding& remote, const QString& id) {
    return {id,
            remote.severity,
            FindingCategory::screenshots,
            remote.guideline,
            std::nullopt,
            remote.title,
            remote.detail,
            remote.evidence,
            std::nullopt,
            remote.fix,
            std::clamp(remote.confidence, 0.0, 1.0),
            EvidenceSource::screenshot,
            std::nullopt};
}

void takeResponse(const ScreenshotAnalysisResponse& response,
                  const std::vector<PreparedScreenshotReviewInput>& prepared,
                  const QString& reviewIdentifier, int batchIndex, Collected& collected) {
    collected.passedChecks.insert(collected.passedChecks.end(), response.passedChecks.begin(),
                                  response.passedChecks.end());
    for (std::size_t j = 0; j < response.findings.size(); ++j) {
        const QString id = QStringLiteral("screenshot.ai.") + reviewIdentifier + u'.' +
                           QString::number(batchIndex) + u'.' + QString::number(j);
        collected.findings.push_back(fromRemote(response.findings[j], id));
    }
    QHash<ScreenshotAssessmentKey, std::vector<const RemoteScreenshotAssessment*>> groups;
    for (const RemoteScreenshotAssessment& assessment : response.assessments) {
        groups[{assessment.fileName, assessment.reviewArea}].push_back(&assessment);
    }
    for (const PreparedScreenshotReviewInput& input : prepared) {
        const QString fileName = screenshotFileName(input.input.path);
        const ScreenshotPrompt area = input.input.prompt;
        const auto group = groups.value({input.upload.fileName, area});
        if (group.size() == 1) {
            const RemoteScreenshotAssessment& returned = *group.front();
            collected.assessments.push_back({fileName, returned.reviewArea, returned.status,
                                             returned.summary, returned.analyzed});
        } else if (group.empty()) {
            collected.add(review::noAssessmentReturned(area, fileName));
        } else {
            collected.add(review::duplicateAssessmentsReturned(area, fileName));
        }
    }
}

void takeFailure(const QString& errorText,
                 const std::vector<PreparedScreenshotReviewInput>& prepared, Collected& collected) {
    for (const PreparedScreenshotReviewInput& input : prepared) {
        collected.add(review::reviewUnavailable(input.input.prompt,
                                                screenshotFileName(input.input.path), errorText));
    }
}

} // namespace

ScreenshotAIService::ScreenshotAIService(BerthwatchBackend backend, int batchSize)
    : backend_(std::move(backend)), batchSize_(batchSize) {}

PreparedScreenshotReviewInput ScreenshotAIService::prepare(const QString& path,
                                                           ScreenshotPrompt prompt) {
    const QString fileName = screenshotFileName(path);
    const QByteArray bytes = readScreenshotFile(path);
    const auto thumbnail = image::makeThumbnail(bytes, thumbnailMaxSide);
    if (!thumbnail) {
        throw BackendError(BackendError::Kind::server,
                           fileName +
                               QStringLiteral(" could not be prepared for screenshot review."));
    }
    const QByteArray jpeg = image::encodeJpeg(*thumbnail, jpegQuality);
    if (jpeg.isEmpty()) {
        throw BackendError(BackendError::Kind::server,
                           fileName +
                               QStringLiteral(" could not be encoded for screenshot review."));
    }
    ScreenshotUpload upload{withoutExtension(fileName) + QStringLiteral(".jpg"),
                            QStringLiteral("image/jpeg"), QString::fromLatin1(jpeg.toBase64()),
                            rawValue(prompt), reviewAreaExpectation(prompt)};
    return {{prompt, path}, std::move(upload)};
}

ScreenshotAnalysisResponse ScreenshotAIService::analyzeBatch(
    const std::vector<PreparedScreenshotReviewInput>& batch, int batchIndex,
    const BuildMetadata& metadata, const QString& reviewIdentifier,
    const std::optional<QString>& token, bool isStoreListing, std::stop_token stop) const {
    ScreenshotRequest request;
    request.batchId = reviewIdentifier + u'-' + QString::number(batchIndex);
    request.app = {metadata.appName, metadata.bundleIdentifier, metadata.version,
                   platformDisplayName(metadata)};
    for (const PreparedScreenshotReviewInput& input : batch) {
        request.screenshots.push_back(input.upload);
    }
    request.purpose =
        isStoreListing ? QStringLiteral("app_store_listing") : QStringLiteral("review_evidence");
    return analyzeScreenshots(backend_, request, token, std::move(stop));
}

ScreenshotReviewResult
ScreenshotAIService::review(const std::map<ScreenshotPrompt, QString>& screenshotSlots,
                            const BuildMetadata& metadata, const QString& reviewIdentifier,
                            const std::optional<QString>& token, bool isStoreListing,
                            std::stop_token stop) const {
    throwIfStopped(stop);
    const auto allBatches = batches(batchSize_, inputsInAreaOrder(screenshotSlots));
    Collected collected;
    for (std::size_t index = 0; index < allBatches.size(); ++index) {
        throwIfStopped(stop);
        const auto prepared = prepareBatch(allBatches[index], collected);
        if (prepared.empty()) {
            continue;
        }
        const int batchIndex = int(index);
        std::optional<ScreenshotAnalysisResponse> response;
        QString errorText;
        try {
            response = analyzeBatch(prepared, batchIndex, metadata, reviewIdentifier, token,
                                    isStoreListing, stop);
        } catch (const BackendError& error) {
            errorText = error.description();
        } catch (const http::TransportError& error) {
            errorText = error.description();
        }
        if (response) {
            takeResponse(*response, prepared, reviewIdentifier, batchIndex, collected);
            continue;
        }
        // Cancelled from the request itself passes straight through; a failure that comes while
        // the scan is being cancelled counts as the cancellation.
        throwIfStopped(stop);
        takeFailure(errorText, prepared, collected);
    }

    ScreenshotReviewResult result;
    result.analyzedCount = std::count_if(collected.assessments.begin(), collected.assessments.end(),
                                         [](const ScreenshotAssessment& a) { return a.analyzed; });
    if (result.analyzedCount > 0) {
        collected.passedChecks.push_back(
            QStringLiteral("Semantically reviewed ") + QString::number(result.analyzedCount) +
            QStringLiteral(" user selected screenshot") +
            (result.analyzedCount == 1 ? QString() : QStringLiteral("s")));
    }
    std::stable_sort(collected.assessments.begin(), collected.assessments.end(),
                     [](const ScreenshotAssessment& a, const ScreenshotAssessment& b) {
                         return int(a.reviewArea) < int(b.reviewArea);
                     });
    result.findings = std::move(collected.findings);
    result.passedChecks = std::move(collected.passedChecks);
    result.assessments = std::move(collected.assessments);
    return result;
}

} // namespace bw
