#include "app/AppModel.h"
#include "model/MarketingMode.h"
#include "model/MarketingShowcase.h"

#include <QDir>
#include <QFileInfo>

namespace bw {

using namespace Qt::Literals::StringLiterals;

namespace {

// The flow scene shows its report once the progress screen has played through.
constexpr double flowReportDelay = 12.75;

QString defaultSampleExportFolder() {
    return QDir::homePath() + u"/Pictures/Berthwatch Samples"_s;
}

StagedBuildPreview fallbackPreview() {
    const marketing_mode::ShowcaseRow& app = marketing_mode::showcaseRows().front();
    return {app.appName, app.bundleIdentifier, u"1.0.16"_s, u"19"_s,   u"iOS / iPadOS"_s,
            u"17.0"_s,   std::nullopt,         u"iPhone"_s, 46'023'980};
}

StagedBuildPreview previewOf(const BuildMetadata& metadata) {
    return {metadata.appName,   metadata.bundleIdentifier, metadata.version, metadata.buildNumber,
            metadata.platform,  metadata.minimumOS,        metadata.iconPNG, u"iPhone"_s,
            metadata.bundleSize};
}

} // namespace

bool AppModel::isDemonstration() const {
    return marketing_mode::isEnabled(options_.arguments, options_.environment);
}

MarketingScene AppModel::marketingScene() const {
    return marketing_mode::scene(options_.arguments, options_.environment);
}

ScanReport AppModel::showcaseReport() const {
    return marketing_mode::readShowcaseFile(options_.showcaseFile.isEmpty()
                                                ? marketing_mode::showcaseFilePath()
                                                : options_.showcaseFile)
        .value_or(ScanReport::sample());
}

QString AppModel::sampleImage(ScreenshotPrompt prompt) const {
    const QString folder = options_.sampleExportFolder.isEmpty() ? defaultSampleExportFolder()
                                                                 : options_.sampleExportFolder;
    switch (prompt) {
    case ScreenshotPrompt::paywall:
        return folder + u"/paywall.png"_s;
    case ScreenshotPrompt::signIn:
        return folder + u"/sign-in.png"_s;
    default:
        return folder + u"/permissions.png"_s;
    }
}

bool AppModel::applyMarketingScene() {
    if (!isDemonstration()) {
        return false;
    }
    setHasStarted(true);
    setCanPersistReports(false);
    setReports({});
    setReport(std::nullopt);
    setScanCancellationAvailable(false);
    setSection(AppSection::scan);
    setFindingFilter(std::nullopt);
    setSelectedFindingID(std::nullopt);
    setImportMessage(std::nullopt);
    setImportRejection(std::nullopt);

    const MarketingScene scene = marketingScene();
    switch (scene) {
    case MarketingScene::drop:
    case MarketingScene::home:
    case MarketingScene::showcase:
        setStaged(std::nullopt);
        setScreenshotSlots({});
        if (scene == MarketingScene::home) {
            setReports(marketing_mode::showcaseReport());
        }
        setScanPhase(ScanPhase::idle());
        if (scene == MarketingScene::showcase) {
            playMarketingShowcase();
        }
        break;
    case MarketingScene::scan:
    case MarketingScene::flow:
        makeMarketingStagedBuild();
        setMarketingScreenshot(ScreenshotPrompt::paywall, sampleImage(ScreenshotPrompt::paywall));
        setMarketingScreenshot(ScreenshotPrompt::permissions,
                               sampleImage(ScreenshotPrompt::permissions));
        setScanPhase(ScanPhase::scanning(1.0, u"Preparing report"_s));
        if (scene == MarketingScene::flow) {
            playMarketingSequence();
        }
        break;
    case MarketingScene::screens:
        makeMarketingStagedBuild();
        setScreenshotSlots(
            {{ScreenshotPrompt::paywall, sampleImage(ScreenshotPrompt::paywall)},
             {ScreenshotPrompt::signIn, sampleImage(ScreenshotPrompt::signIn)},
             {ScreenshotPrompt::permissions, sampleImage(ScreenshotPrompt::permissions)}});
        setScanPhase(ScanPhase::idle());
        break;
    case MarketingScene::report: {
        setStaged(std::nullopt);
        setScreenshotSlots({});
        setScanPhase(ScanPhase::finished());
        const ScanReport report = showcaseReport();
        setReport(report);
        setReports({report});
        break;
    }
    }
    return true;
}

void AppModel::makeMarketingStagedBuild() {
    const std::optional<QUrl> archive =
        options_.archivesFolder.isEmpty() ? marketing_mode::demoArchiveURL()
                                          : marketing_mode::demoArchiveURL(options_.archivesFolder);
    const QString archiveName = marketing_mode::demoAppName() + u".xcarchive"_s;
    const std::optional<ScanReport> showcase = marketing_mode::readShowcaseFile(
        options_.showcaseFile.isEmpty() ? marketing_mode::showcaseFilePath()
                                        : options_.showcaseFile);
    setStaged(StagedBuild{
        QUuid::createUuid(), archive ? QFileInfo(archive->toLocalFile()).fileName() : archiveName,
        archive ? archive->toLocalFile() : u"/tmp/"_s + archiveName,
        QDateTime::currentDateTimeUtc(),
        showcase ? previewOf(showcase->metadata) : fallbackPreview(), std::nullopt});
}

void AppModel::setMarketingScreenshot(ScreenshotPrompt prompt, const std::optional<QString>& path) {
    ScreenshotSlots chosen = screenshotSlots_;
    if (path) {
        chosen[prompt] = *path;
    } else {
        chosen.erase(prompt);
    }
    setScreenshotSlots(chosen);
}

void AppModel::playMarketingSequence() {
    clock_->schedule(seconds(flowReportDelay), this, [this] {
        if (marketingScene() != MarketingScene::flow) {
            return;
        }
        const ScanReport report = showcaseReport();
        setReports({report});
        setReport(report);
        setScanPhase(ScanPhase::finished());
    });
}

namespace {

struct ShowcaseStep {
    double delay; // from the previous step's writes
    void (*writes)(AppModel& model);
};

} // namespace

void AppModel::playMarketingShowcase() {
    playMarketingShowcaseStep(0);
}

void AppModel::playMarketingShowcaseStep(std::size_t index) {
    static constexpr ShowcaseStep steps[]{
        {2.5, [](AppModel& model) { model.setBuildDropTargeted(true); }},
        {0.9,
         [](AppModel& model) {
             model.setBuildDropTargeted(false);
             model.setBuildImportLaunching(true);
         }},
        {0.55,
         [](AppModel& model) {
             model.setBuildImportLaunching(false);
             model.makeMarketingStagedBuild();
         }},
        {1.35,
         [](AppModel& model) {
             model.setMarketingScreenshot(ScreenshotPrompt::paywall,
                                          model.sampleImage(ScreenshotPrompt::paywall));
         }},
        {0.35,
         [](AppModel& model) {
             model.setMarketingScreenshot(ScreenshotPrompt::signIn,
                                          model.sampleImage(ScreenshotPrompt::signIn));
         }},
        {0.35,
         [](AppModel& model) {
             model.setMarketingScreenshot(ScreenshotPrompt::permissions,
                                          model.sampleImage(ScreenshotPrompt::permissions));
         }},
        {1.85,
         [](AppModel& model) {
             model.setScanPhase(ScanPhase::scanning(1.0, u"Preparing report"_s));
         }},
        {6.65,
         [](AppModel& model) {
             const ScanReport report = model.showcaseReport();
             model.setReports({report});
             model.setReport(report);
             model.setScanPhase(ScanPhase::finished());
         }},
        // The showcase file gives the same report on every read.
        {2.4, [](AppModel& model) { model.selectMarketingFinding(model.showcaseReport()); }},
    };
    if (index == std::size(steps)) {
        return;
    }
    clock_->schedule(seconds(steps[index].delay), this, [this, index] {
        // The showcase ends before it begins when the launch no longer asks for it.
        if (index == 0 && marketingScene() != MarketingScene::showcase) {
            return;
        }
        steps[index].writes(*this);
        playMarketingShowcaseStep(index + 1);
    });
}

void AppModel::selectMarketingFinding(const ScanReport& report) {
    const auto blocker = std::ranges::find_if(report.findings, [](const Finding& finding) {
        return finding.severity == FindingSeverity::blocker;
    });
    setSelectedFindingID(blocker == report.findings.end() ? std::nullopt
                                                          : std::optional(blocker->id));
}

} // namespace bw
