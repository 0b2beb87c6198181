#include "services/screenshots/ScreenshotAuditFindings.h"

namespace bw::screenshot_audit {

namespace {

// The rules these size checks follow; named in the evidence of a size mismatch.
const QString rulesVersion = QStringLiteral("2026.08.1");

Finding make(QString id, FindingSeverity severity, double confidence, EvidenceSource source,
             QString title, QString detail, QString evidence, QString fix) {
    return plainFinding(std::move(id), severity, FindingCategory::screenshots,
                        QStringLiteral("2.3.3"), std::move(title), std::move(detail),
                        std::move(evidence), std::move(fix), confidence, source);
}

} // namespace

QString dimensions(qint64 width, qint64 height) {
    return QString::number(width) + QStringLiteral(" \u00d7 ") + QString::number(height);
}

Finding maximumCount(qint64 fileCount) {
    return make(
        QStringLiteral("screenshot.store.maximum-count"), FindingSeverity::manual, 1.0,
        EvidenceSource::screenshot, QStringLiteral("Screenshot set grouping needs confirmation"),
        QStringLiteral("App Store Connect accepts one to 10 screenshots per supported device size "
                       "and localization."),
        QString::number(fileCount) +
            QStringLiteral(" files are marked as App Store product screenshots."),
        QStringLiteral("Confirm that no individual device and localization set exceeds 10 "
                       "images, or mark this batch as review evidence instead."));
}

Finding invalid(const QString& id, const QString& file) {
    return make(
        id, FindingSeverity::risk, 1.0, EvidenceSource::screenshot,
        QStringLiteral("Screenshot could not be decoded"),
        QStringLiteral("The selected file is not a readable image with pixel dimensions."), file,
        QStringLiteral("Export a PNG or JPEG directly from the target device or simulator."));
}

Finding small(const QString& id, const QString& file, qint64 width, qint64 height) {
    return make(id, FindingSeverity::risk, 0.9, EvidenceSource::screenshot,
                QStringLiteral("Screenshot resolution is unusually small"),
                QStringLiteral("The image is ") + dimensions(width, height) +
                    QStringLiteral(" pixels and may not match an accepted App Store device size."),
                file + QStringLiteral(": ") + dimensions(width, height),
                QStringLiteral("Capture the screen at a device size supported by App Store "
                               "Connect without scaling it up."));
}

Finding storeDimension(const QString& id, const QString& file, qint64 width, qint64 height) {
    return make(id, FindingSeverity::risk, 0.98, EvidenceSource::screenshot,
                QStringLiteral("Screenshot size is not in Apple's current specification"),
                QStringLiteral("The image is ") + dimensions(width, height) +
                    QStringLiteral(" pixels and does not match a listed iPhone, iPad, Mac, Apple "
                                   "TV, Vision Pro, or Apple Watch screenshot size."),
                file + QStringLiteral(": ") + dimensions(width, height) +
                    QStringLiteral("; rules ") + rulesVersion,
                QStringLiteral("Export from a supported device size without cropping or scaling. "
                               "Recheck Apple's screenshot specifications if the device is newly "
                               "released."));
}

Finding storeFormat(const QString& id, const QString& file) {
    return make(id, FindingSeverity::blocker, 1.0, EvidenceSource::screenshot,
                QStringLiteral("HEIC is not an App Store screenshot format"),
                QStringLiteral("App Store Connect accepts JPEG, JPG, and PNG product screenshots."),
                file, QStringLiteral("Export this image as a flattened JPEG or PNG."));
}

Finding storeAlpha(const QString& id, const QString& file) {
    return make(id, FindingSeverity::blocker, 1.0, EvidenceSource::screenshot,
                QStringLiteral("Product screenshot contains an alpha channel"),
                QStringLiteral("Apple's current screenshot specification does not accept alpha "
                               "channels or transparency."),
                file + QStringLiteral(" decodes with alpha information."),
                QStringLiteral("Flatten the image onto an opaque background and export it as JPEG "
                               "or an opaque PNG."));
}

Finding duplicate(const QString& id, const QString& earlierFile, const QString& file) {
    return make(id, FindingSeverity::risk, 1.0, EvidenceSource::screenshot,
                QStringLiteral("Duplicate screenshot selected"),
                QStringLiteral("Two screenshot files contain identical image data."),
                earlierFile + QStringLiteral(" and ") + file,
                QStringLiteral("Replace the duplicate with a screen that demonstrates a different "
                               "core feature."));
}

Finding semanticReview(qint64 decodedCount) {
    return make(
        QStringLiteral("screenshot.semantic-review"), FindingSeverity::manual, 1.0,
        EvidenceSource::manual, QStringLiteral("Screenshot content needs semantic review"),
        QStringLiteral("Local checks verify image integrity and obvious duplicates. Copy, paywall "
                       "disclosures, misleading claims, and product accuracy require the "
                       "screenshot review service."),
        QString::number(decodedCount) + QStringLiteral(" readable screenshot") +
            (decodedCount == 1 ? QString() : QStringLiteral("s")) + QStringLiteral(" attached"),
        QStringLiteral("Run the screenshot review, then resolve any manual interaction checks "
                       "that remain."));
}

} // namespace bw::screenshot_audit
