#include "app/Launch.h"
#include "model/MarketingShowcase.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using P = ScreenshotPrompt;

QProcessEnvironment environment(const QString& name = {}, const QString& value = {}) {
    QProcessEnvironment result;
    if (!name.isEmpty()) {
        result.insert(name, value);
    }
    return result;
}

TEST(MarketingScenes, MinimumPresentationFollowsTheDemonstrationSwitches) {
    const struct {
        QStringList arguments;
        QProcessEnvironment environment;
        double seconds;
    } cases[] = {
        {{u"bw"_s}, environment(), 36},
        {{u"bw"_s, u"--marketing-scene=showcase"_s}, environment(), 6},
        {{u"bw"_s}, environment(u"BERTHWATCH_MARKETING_SCENE"_s, u"showcase"_s), 6},
        {{u"bw"_s, u"--marketing-scan"_s}, environment(), 12},
        {{u"bw"_s, u"--marketing-scene=report"_s}, environment(), 12},
        {{u"bw"_s, u"--marketing-scene=nonsense"_s}, environment(), 12},
        {{u"bw"_s}, environment(u"BERTHWATCH_MARKETING_SCAN"_s, u"0"_s), 36},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        EXPECT_EQ(minimumPresentationDuration(c.arguments, c.environment), c.seconds);
    }
}

// A model launched with the given arguments, whose history holds one saved report.
class Scene {
public:
    explicit Scene(const QStringList& arguments, QString showcaseFile = {}) {
        AppModelOptions options;
        options.clock = &clock;
        options.arguments = arguments;
        options.showcaseFile = std::move(showcaseFile);
        options.sampleExportFolder = u"/samples"_s;
        options.archivesFolder = folder.makeFolder(u"archives"_s);
        auto services = std::make_shared<const AppServices>(
            AppServices{BuildScanner(),
                        {},
                        ReportStore(folder.path()),
                        BerthwatchBackend(QUrl(u"http://127.0.0.1:9"_s)),
                        AppStoreConnectService(),
                        ScreenshotAIService(BerthwatchBackend(QUrl(u"http://127.0.0.1:9"_s)))});
        model = std::make_unique<AppModel>(
            services, ReportStore::LoadResult{{ScanReport::sample()}, std::nullopt, true}, false,
            options);
        model->start();
    }

    std::vector<P> slotAreas() const {
        std::vector<P> areas;
        for (const auto& [area, path] : model->screenshotSlots()) {
            areas.push_back(area);
        }
        return areas;
    }

    test::TestFolder folder;
    ManualClock clock;
    std::unique_ptr<AppModel> model;
};

TEST(MarketingScenes, AnOrdinaryLaunchChangesNothing) {
    Scene scene({u"bw"_s});
    EXPECT_TRUE(scene.model->hasStarted());
    EXPECT_TRUE(scene.model->canPersistReports());
    EXPECT_EQ(scene.model->reports().size(), 1u);
    EXPECT_FALSE(scene.model->applyMarketingScene());
    EXPECT_EQ(scene.clock.pendingCount(), 0u);
}

TEST(MarketingScenes, EachSceneEndsInItsPreparedState) {
    const ScanReport showcase = *MarketingMode::readShowcaseFile();
    const ScanPhase preparing = ScanPhase::scanning(1.0, u"Preparing report"_s);
    const struct {
        QString name;
        double playFor;
        bool staged;
        std::vector<P> slotAreas;
        ScanPhase phase;
        std::size_t reports;
        std::optional<ScanReport> report;
    } cases[] = {
        {u"drop"_s, 0, false, {}, ScanPhase::idle(), 0, std::nullopt},
        {u"home"_s, 0, false, {}, ScanPhase::idle(), 6, std::nullopt},
        {u"scan"_s, 60, true, {P::paywall, P::permissions}, preparing, 0, std::nullopt},
        {u"unknown"_s, 0, true, {P::paywall, P::permissions}, preparing, 0, std::nullopt},
        {u"flow"_s, 12.75, true, {P::paywall, P::permissions}, ScanPhase::finished(), 1, showcase},
        {u"showcase"_s,
         16.9,
         true,
         {P::paywall, P::signIn, P::permissions},
         ScanPhase::finished(),
         1,
         showcase},
        {u"screens"_s,
         0,
         true,
         {P::paywall, P::signIn, P::permissions},
         ScanPhase::idle(),
         0,
         std::nullopt},
        {u"report"_s, 0, false, {}, ScanPhase::finished(), 1, showcase},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        Scene scene({u"bw"_s, u"--marketing-scene="_s + c.name});
        scene.clock.advance(seconds(c.playFor));
        const AppModel& model = *scene.model;
        EXPECT_TRUE(model.hasStarted());
        EXPECT_FALSE(model.canPersistReports());
        EXPECT_EQ(model.staged().has_value(), c.staged);
        EXPECT_EQ(scene.slotAreas(), c.slotAreas);
        EXPECT_EQ(model.scanPhase(), c.phase);
        EXPECT_EQ(model.reports().size(), c.reports);
        EXPECT_EQ(model.report(), c.report);
        EXPECT_FALSE(model.isStagedPreviewLoading());
        EXPECT_EQ(scene.clock.pendingCount(), 0u);
        if (c.staged) {
            EXPECT_EQ(model.staged()->fileName, u"Tidepool.xcarchive"_s);
            EXPECT_EQ(model.staged()->path, u"/tmp/Tidepool.xcarchive"_s);
            EXPECT_EQ(model.staged()->preview->appName, showcase.metadata.appName);
            EXPECT_EQ(model.staged()->preview->targetDevices, u"iPhone"_s);
        }
    }
}

TEST(MarketingScenes, TheShowcasePlaysItsStepsOnTime) {
    Scene scene({u"bw"_s, u"--marketing-scene=showcase"_s}, u"/missing/showcase.json"_s);
    const AppModel& model = *scene.model;
    double now = 0;
    const auto at = [&](double total) {
        scene.clock.advance(seconds(total) - seconds(now));
        now = total;
    };
    at(2.49);
    EXPECT_FALSE(model.isBuildDropTargeted());
    at(2.5);
    EXPECT_TRUE(model.isBuildDropTargeted());
    at(3.4);
    EXPECT_FALSE(model.isBuildDropTargeted());
    EXPECT_TRUE(model.isBuildImportLaunching());
    at(3.95);
    EXPECT_FALSE(model.isBuildImportLaunching());
    ASSERT_TRUE(model.staged());
    EXPECT_EQ(model.staged()->preview->version, u"1.0.16"_s); // the fixed fallback preview
    at(5.65);
    EXPECT_EQ(scene.slotAreas(), (std::vector<P>{P::paywall, P::signIn}));
    at(14.49);
    EXPECT_EQ(model.scanPhase(), ScanPhase::scanning(1.0, u"Preparing report"_s));
    at(14.5);
    EXPECT_EQ(model.report(), ScanReport::sample());
    EXPECT_FALSE(model.selectedFindingID());
    at(16.9);
    EXPECT_EQ(model.selectedFindingID(), u"sample.debug-entitlement"_s);
}

TEST(MarketingScenes, ADemonstrationNeverWritesTheHistory) {
    Scene scene({u"bw"_s, u"--marketing-scene=report"_s});
    AppModel& model = *scene.model;
    const std::vector<ScanReport> shown = model.reports();
    model.deleteReport(shown.front().id);
    EXPECT_EQ(model.reports(), shown);
    EXPECT_TRUE(model.reportNotice()->startsWith(u"The report could not be deleted from disk. "_s));
}

} // namespace
} // namespace bw
