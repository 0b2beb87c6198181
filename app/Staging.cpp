#include "app/AppModel.h"

#include <QFileInfo>

namespace bw {

using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList buildExtensions{u"ipa"_s, u"xcarchive"_s, u"app"_s};
const QStringList screenshotExtensions{u"png"_s, u"jpg"_s, u"jpeg"_s, u"heic"_s};

// The last path component; a folder chosen with a trailing slash counts by its plain name.
QString lastComponent(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return QFileInfo(path).fileName();
}

// The text after the last dot of the name; none for a name whose only dot leads it.
QString extension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.sliced(dot + 1) : QString();
}

} // namespace

void AppModel::importBuild(const QString& path) {
    // The build may have waited out its launch animation while a scan started.
    if (scanPhase_.isBusy()) {
        return;
    }
    const QString name = lastComponent(path);
    const QString suffix = extension(name);
    if (buildExtensions.contains(suffix.toLower())) {
        stageBuild(path);
        return;
    }
    setImportRejection(
        ImportRejection{suffix.isEmpty() ? name : name.chopped(suffix.size() + 1), suffix});
    setImportMessage(std::nullopt);
    ++importRejectionCount_;
    emit importRejectionCountChanged();
}

void AppModel::stageBuild(const QString& path) {
    setReport(std::nullopt);
    setStaged(StagedBuild{QUuid::createUuid(), lastComponent(path), path,
                          QDateTime::currentDateTimeUtc(), std::nullopt, std::nullopt});
    setScreenshotSlots({});
    setScreenshotsAreStoreListing(false);
    setImportMessage(std::nullopt);
    setImportRejection(std::nullopt);
    setFindingFilter(std::nullopt);
    setSelectedFindingID(std::nullopt);
    setScanPhase(ScanPhase::idle());
    setUpdateRequired(false);
    setReportNotice(std::nullopt);
    setSection(AppSection::scan);
    loadStagedPreview();
}

void AppModel::loadStagedPreview() {
    // Whatever preview still runs belongs to an earlier build or an earlier try.
    previewStop_.request_stop();
    const std::uint64_t run = ++previewRun_;
    if (!staged_) {
        setStagedPreviewLoading(false);
        return;
    }
    StagedBuild cleared = *staged_;
    cleared.previewError = std::nullopt;
    setStaged(cleared);
    setStagedPreviewLoading(true);
    previewStop_ =
        workers_.start([this, run, build = cleared, services = services_](std::stop_token stop) {
            std::optional<StagedBuildPreview> preview;
            std::optional<QString> error;
            try {
                preview = services->scanner.preview(build.path, stop);
            } catch (const std::exception& failure) {
                error = QString::fromUtf8(failure.what());
            }
            if (!stop.stop_requested()) {
                postTo(this, [this, run, id = build.id, preview, error] {
                    applyPreview(run, id, preview, error);
                });
            }
        });
}

void AppModel::applyPreview(std::uint64_t run, const QUuid& buildID,
                            const std::optional<StagedBuildPreview>& preview,
                            const std::optional<QString>& error) {
    if (run != previewRun_) {
        return;
    }
    if (staged_ && staged_->id == buildID) {
        StagedBuild updated = *staged_;
        if (preview) {
            updated.preview = preview;
        }
        updated.previewError = error;
        setStaged(updated);
    }
    setStagedPreviewLoading(false);
}

bool AppModel::takesScreenshot(const QString& path) {
    return screenshotExtensions.contains(extension(lastComponent(path)).toLower());
}

void AppModel::setScreenshot(const QString& path, ScreenshotPrompt prompt) {
    if (!takesScreenshot(path)) {
        setImportMessage(u"Use PNG, JPEG, or HEIC screenshots."_s);
        return;
    }
    ScreenshotSlots chosen = screenshotSlots_;
    chosen[prompt] = path;
    setScreenshotSlots(chosen);
    setImportMessage(std::nullopt);
}

void AppModel::removeScreenshot(ScreenshotPrompt prompt) {
    ScreenshotSlots chosen = screenshotSlots_;
    chosen.erase(prompt);
    setScreenshotSlots(chosen);
}

void AppModel::clearStagedBuild() {
    previewStop_.request_stop();
    ++previewRun_;
    setStaged(std::nullopt);
    setStagedPreviewLoading(false);
    setScreenshotSlots({});
    setScreenshotsAreStoreListing(false);
    setImportMessage(std::nullopt);
    setImportRejection(std::nullopt);
    setScanPhase(ScanPhase::idle());
    setUpdateRequired(false);
    setReportNotice(std::nullopt);
    setSection(AppSection::scan);
}

void AppModel::resetForNewScan() {
    setReport(std::nullopt);
    clearStagedBuild();
    setFindingFilter(std::nullopt);
    setSelectedFindingID(std::nullopt);
}

} // namespace bw
