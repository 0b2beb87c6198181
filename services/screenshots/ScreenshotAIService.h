#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"
#include "model/ScreenshotSummary.h"
#include "services/backend/BerthwatchBackend.h"
#include "services/screenshots/ScreenshotAnalysisTypes.h"

#include <QString>
#include <map>
#include <optional>
#include <stop_token>
#include <vector>

namespace bw {

struct ScreenshotReviewInput {
    ScreenshotPrompt prompt;
    QString path;

    bool operator==(const ScreenshotReviewInput&) const = default;
};

struct PreparedScreenshotReviewInput {
    ScreenshotReviewInput input;
    ScreenshotUpload upload;

    bool operator==(const PreparedScreenshotReviewInput&) const = default;
};

struct ScreenshotReviewResult {
    std::vector<Finding> findings;
    std::vector<QString> passedChecks;
    qint64 analyzedCount = 0;                      // assessments whose `analyzed` is true
    std::vector<ScreenshotAssessment> assessments; // one per selected screenshot, in area order

    bool operator==(const ScreenshotReviewResult&) const = default;
};

// Sends the screenshots of the review areas, shrunk to JPEG, to the web service for a semantic
// review, batch by batch, and turns the answers into report content. It keeps nothing between
// reviews.
class ScreenshotAIService {
public:
    // The most screenshots in one request, unless told otherwise.
    static constexpr int defaultBatchSize = 8;

    explicit ScreenshotAIService(BerthwatchBackend backend, int batchSize = defaultBatchSize);

    int batchSize() const { return batchSize_; }

    // Every failure but cancellation ends up in the result as findings and failed assessments;
    // throws bw::Cancelled when `stop` is requested (checked before anything is read, before
    // each batch and when a request fails), and then nothing of the review is kept.
    ScreenshotReviewResult review(const std::map<ScreenshotPrompt, QString>& screenshotSlots,
                                  const BuildMetadata& metadata, const QString& reviewIdentifier,
                                  const std::optional<QString>& token, bool isStoreListing,
                                  std::stop_token stop = {}) const;

    // Consecutive runs of `size` inputs in order, the last one holding the rest; none when size
    // is below 1 or there are no inputs.
    template <typename T>
    static std::vector<std::vector<T>> batches(int size, const std::vector<T>& inputs) {
        std::vector<std::vector<T>> result;
        if (size < 1) {
            return result;
        }
        for (std::size_t start = 0; start < inputs.size(); start += std::size_t(size)) {
            const std::size_t end = std::min(inputs.size(), start + std::size_t(size));
            result.emplace_back(inputs.begin() + std::ptrdiff_t(start),
                                inputs.begin() + std::ptrdiff_t(end));
        }
        return result;
    }

    // Reads the file and makes its upload: a JPEG of at most 1800 pixels on the longer side at
    // quality 0.86, turned upright. Throws ScreenshotFileError when the file cannot be read, and
    // BackendError (server) when it is not an image that can be converted.
    static PreparedScreenshotReviewInput prepare(const QString& path, ScreenshotPrompt prompt);

    // One request with the prepared inputs of batch `batchIndex`; throws what the request throws.
    ScreenshotAnalysisResponse analyzeBatch(const std::vector<PreparedScreenshotReviewInput>& batch,
                                            int batchIndex, const BuildMetadata& metadata,
                                            const QString& reviewIdentifier,
                                            const std::optional<QString>& token,
                                            bool isStoreListing, std::stop_token stop) const;

private:
    BerthwatchBackend backend_;
    int batchSize_;
};

} // namespace bw
