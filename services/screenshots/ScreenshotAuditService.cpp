#include "services/screenshots/ScreenshotAuditService.h"

#include "platform/crypto/Sha256.h"
#include "platform/image/ImageProbe.h"
#include "services/screenshots/AcceptedScreenshotSizes.h"
#include "services/screenshots/ScreenshotAuditFindings.h"
#include "services/screenshots/ScreenshotFile.h"
#include "services/screenshots/UniqueFindingIds.h"

#include <QFileInfo>
#include <QHash>
#include <optional>

namespace bw {

namespace {

namespace findings = screenshot_audit;

// App Store Connect takes at most this many screenshots per device size and localization.
constexpr qsizetype maxStoreScreenshots = 10;
// Review evidence with a shorter side below this is too small to show a device screen legibly.
constexpr qint64 minEvidenceShortSide = 640;

struct AuditState {
    std::vector<Finding> findings;
    std::vector<QString> passedChecks;
    UniqueFindingIds ids;
    qint64 decodedCount = 0;
    QHash<QString, QString> firstFileByDigest;
};

std::optional<QByteArray> readQuietly(const QString& path) {
    try {
        return readScreenshotFile(path);
    } catch (const ScreenshotFileError&) {
        return std::nullopt;
    }
}

// Size, format and alpha of one decoded App Store product screenshot; all three always run.
void checkStoreRequirements(const QString& path, const image::ImageProbe& probe,
                            AuditState& state) {
    const QString file = screenshotFileName(path);
    const qint64 width = probe.size.width();
    const qint64 height = probe.size.height();
    if (acceptedScreenshotSizes().contains(PixelSize::of(width, height))) {
        state.passedChecks.push_back(
            file + QStringLiteral(" matches an accepted App Store screenshot size"));
    } else {
        state.findings.push_back(findings::storeDimension(
            state.ids.claim(QStringLiteral("screenshot.store.dimension."), file), file, width,
            height));
    }
    if (QFileInfo(path).suffix().toLower() == QLatin1String("heic")) {
        state.findings.push_back(findings::storeFormat(
            state.ids.claim(QStringLiteral("screenshot.store.format."), file), file));
    }
    if (probe.hasAlpha) {
        state.findings.push_back(findings::storeAlpha(
            state.ids.claim(QStringLiteral("screenshot.store.alpha."), file), file));
    } else {
        state.passedChecks.push_back(file + QStringLiteral(" has no alpha channel"));
    }
}

void checkEvidenceSize(const QString& file, const image::ImageProbe& probe, AuditState& state) {
    const qint64 width = probe.size.width();
    const qint64 height = probe.size.height();
    if (std::min(width, height) < minEvidenceShortSide) {
        state.findings.push_back(findings::small(
            state.ids.claim(QStringLiteral("screenshot.small."), file), file, width, height));
    } else {
        state.passedChecks.push_back(file + QStringLiteral(" decoded at ") +
                                     findings::dimensions(width, height));
    }
}

void checkDuplicate(const QString& file, const QByteArray& bytes, AuditState& state) {
    const QString digest = ScreenshotAuditService::digest(bytes);
    const auto earlier = state.firstFileByDigest.constFind(digest);
    if (earlier != state.firstFileByDigest.cend()) {
        state.findings.push_back(findings::duplicate(
            state.ids.claim(QStringLiteral("screenshot.duplicate."), file), *earlier, file));
    } else {
        state.firstFileByDigest.insert(digest, file);
    }
}

void auditFile(const QString& path, bool isStoreListing, AuditState& state) {
    const QString file = screenshotFileName(path);
    // One read: the same bytes serve the header probe and the digest.
    const std::optional<QByteArray> bytes = readQuietly(path);
    const std::optional<image::ImageProbe> probe = bytes ? image::probeImage(*bytes) : std::nullopt;
    if (!probe) {
        state.findings.push_back(
            findings::invalid(state.ids.claim(QStringLiteral("screenshot.invalid."), file), file));
        return;
    }
    ++state.decodedCount;
    if (isStoreListing) {
        checkStoreRequirements(path, *probe, state);
    } else {
        checkEvidenceSize(file, *probe, state);
    }
    checkDuplicate(file, *bytes, state);
}

} // namespace

QString ScreenshotAuditService::digest(const QByteArray& bytes) {
    return QString::fromLatin1(crypto::sha256(bytes).toHex());
}

ScreenshotAuditResult ScreenshotAuditService::audit(const std::vector<QString>& files,
                                                    bool isStoreListing) const {
    AuditState state;
    const auto fileCount = qsizetype(files.size());
    if (isStoreListing && fileCount > maxStoreScreenshots) {
        state.findings.push_back(findings::maximumCount(fileCount));
    }
    std::vector<QString> fileNames;
    for (const QString& path : files) {
        fileNames.push_back(screenshotFileName(path));
        auditFile(path, isStoreListing, state);
    }
    if (!files.empty()) {
        state.findings.push_back(findings::semanticReview(state.decodedCount));
    }
    ScreenshotSummary summary{fileCount,          0,           std::move(fileNames), std::nullopt,
                              state.decodedCount, std::nullopt};
    return {std::move(state.findings), std::move(state.passedChecks), std::move(summary)};
}

} // namespace bw
