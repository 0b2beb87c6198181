#include "app/DemonstrationDirector.h"

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

DemonstrationDirector::DemonstrationDirector(AppModel& model, Clock& clock,
                                             DemonstrationSources sources)
    : model_(model), clock_(clock), sources_(std::move(sources)) {}

bool DemonstrationDirector::isDemonstration() const {
    return marketing_mode::isEnabled(sources_.arguments, sources_.environment);
}

MarketingScene DemonstrationDirector::scene() const {
    return marketing_mode::scene(sources_.arguments, sources_.environment);
}

ScanReport DemonstrationDirector::showcaseReport() const {
    return marketing_mode::readShowcaseFile(sources_.showcaseFile.isEmpty()
                                                ? marketing_mode::showcaseFilePath()
                                                : sources_.showcaseFile)
        .value_or(ScanReport::sample());
}

QString DemonstrationDirector::sampleImage(ScreenshotPrompt prompt) const {
    const QString folder = sources_.sampleExportFolder.isEmpty() ? defaultSampleExportFolder()
                                                                 : sources_.sampleExportFolder;
    switch (prompt) {
    case ScreenshotPrompt::paywall:
        return folder + u"/paywall.png"_s;
    case ScreenshotPrompt::signIn:
        return folder + u"/sign-in.png"_s;
    default:
        return folder + u"/permissions.png"_s;
    }
}

bool DemonstrationDirector::apply() {
    if (!isDemonstration()) {
        return false;
    }
    AppModel& model = model_;
    model.setHasStarted(true);
    model.setCanPersistReports(false);
    model.setReports({});
    model.setReport(std::nullopt);
    model.setScanCancellationAvailable(false);
    model.setSection(AppSection::scan);
    model.setFindingFilter(std::nullopt);
    model.setSelectedFindingID(std::nullopt);
    model.setImportMessage(std::nullopt);
    model.setImportRejection(std::nullopt);

    const MarketingScene shown = scene();
    switch (shown) {
    case MarketingScene::drop:
    case MarketingScene::home:
    case MarketingScene::showcase:
        model.setStaged(std::nullopt);
        model.setScreenshotSlots({});
        if (shown == MarketingScene::home) {
            model.setReports(marketing_mode::showcaseReport());
        }
        model.setScanPhase(ScanPhase::idle());
        if (shown == MarketingScene::showcase) {
            playShowcaseStep(0);
        }
        break;
    case MarketingScene::scan:
    case MarketingScene::flow:
        stageBuild();
        setScreenshot(ScreenshotPrompt::paywall, sampleImage(ScreenshotPrompt::paywall));
        setScreenshot(ScreenshotPrompt::permissions, sampleImage(ScreenshotPrompt::permissions));
        model.setScanPhase(ScanPhase::scanning(1.0, u"Preparing report"_s));
        if (shown == MarketingScene::flow) {
            playSequence();
        }
        break;
    case MarketingScene::screens:
        stageBuild();
        model.setScreenshotSlots(
            {{ScreenshotPrompt::paywall, sampleImage(ScreenshotPrompt::paywall)},
             {ScreenshotPrompt::signIn, sampleImage(ScreenshotPrompt::signIn)},
             {ScreenshotPrompt::permissions, sampleImage(ScreenshotPrompt::permissions)}});
        model.setScanPhase(ScanPhase::idle());
        break;
    case MarketingScene::report: {
        model.setStaged(std::nullopt);
        model.setScreenshotSlots({});
        model.setScanPhase(ScanPhase::finished());
        const ScanReport report = showcaseReport();
        model.setReport(report);
        model.setReports({report});
        break;
    }
    }
    return true;
}

void DemonstrationDirector::stageBuild() {
    const std::optional<QUrl> archive =
        sources_.archivesFolder.isEmpty() ? marketing_mode::demoArchiveURL()
                                          : marketing_mode::demoArchiveURL(sources_.archivesFolder);
    const QString archiveName = marketing_mode::demoAppName() + u".xcarchive"_s;
    const std::optional<ScanReport> showcase = marketing_mode::readShowcaseFile(
        sources_.showcaseFile.isEmpty() ? marketing_mode::showcaseFilePath()
                                        : sources_.showcaseFile);
    model_.setStaged(StagedBuild{
        QUuid::createUuid(), archive ? QFileInfo(archive->toLocalFile()).fileName() : archiveName,
        archive ? archive->toLocalFile() : u"/tmp/"_s + archiveName,
        QDateTime::currentDateTimeUtc(),
        showcase ? previewOf(showcase->metadata) : fallbackPreview(), std::nullopt});
}

void DemonstrationDirector::setScreenshot(ScreenshotPrompt prompt,
                                          const std::optional<QString>& path) {
    ScreenshotSlots chosen = model_.screenshotSlots();
    if (path) {
        chosen[prompt] = *path;
    } else {
        chosen.erase(prompt);
    }
    model_.setScreenshotSlots(chosen);
}

// The scene's report becomes the history and the screen, as a finished scan leaves them.
void DemonstrationDirector::showReport(const ScanReport& report) {
    model_.setReports({report});
    model_.setReport(report);
    model_.setScanPhase(ScanPhase::finished());
}

void DemonstrationDirector::playSequence() {
    clock_.schedule(seconds(flowReportDelay), &model_, [this] {
        if (scene() == MarketingScene::flow) {
            showReport(showcaseReport());
        }
    });
}

namespace {

struct ShowcaseStep {
    double delay; // from the previous step's writes
    void (*writes)(DemonstrationDirector& director, AppModel& model);
};

} // namespace

void DemonstrationDirector::playShowcaseStep(std::size_t index) {
    using D = DemonstrationDirector;
    static constexpr ShowcaseStep steps[]{
        {2.5, [](D&, AppModel& model) { model.setBuildDropTargeted(true); }},
        {0.9,
         [](D&, AppModel& model) {
             model.setBuildDropTargeted(false);
             model.setBuildImportLaunching(true);
         }},
        {0.55,
         [](D& director, AppModel& model) {
             model.setBuildImportLaunching(false);
             director.stageBuild();
         }},
        {1.35,
         [](D& director, AppModel&) {
             director.setScreenshot(ScreenshotPrompt::paywall,
                                    director.sampleImage(ScreenshotPrompt::paywall));
         }},
        {0.35,
         [](D& director, AppModel&) {
             director.setScreenshot(ScreenshotPrompt::signIn,
                                    director.sampleImage(ScreenshotPrompt::signIn));
         }},
        {0.35,
         [](D& director, AppModel&) {
             director.setScreenshot(ScreenshotPrompt::permissions,
                                    director.sampleImage(ScreenshotPrompt::permissions));
         }},
        {1.85,
         [](D&, AppModel& model) {
             model.setScanPhase(ScanPhase::scanning(1.0, u"Preparing report"_s));
         }},
        {6.65, [](D& director, AppModel&) { director.showReport(director.showcaseReport()); }},
        // The showcase file gives the same report on every read.
        {2.4, [](D& director, AppModel&) { director.selectFinding(director.showcaseReport()); }},
    };
    if (index == std::size(steps)) {
        return;
    }
    clock_.schedule(seconds(steps[index].delay), &model_, [this, index] {
        // The showcase ends before it begins when the launch no longer asks for it.
        if (index == 0 && scene() != MarketingScene::showcase) {
            return;
        }
        steps[index].writes(*this, model_);
        playShowcaseStep(index + 1);
    });
}

void DemonstrationDirector::selectFinding(const ScanReport& report) {
    const auto blocker = std::ranges::find_if(report.findings, [](const Finding& finding) {
        return finding.severity == FindingSeverity::blocker;
    });
    model_.setSelectedFindingID(blocker == report.findings.end() ? std::nullopt
                                                                 : std::optional(blocker->id));
}

} // namespace bw
