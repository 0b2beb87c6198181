#include "app/Launch.h"
#include "model/MarketingShowcase.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/FieldOf.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using P = ScreenshotPrompt;

// A model started with one scene, whose history holds one saved report.
struct Scene {
    explicit Scene(const QString& name) {
        AppModelOptions options;
        options.clock = &clock;
        options.demonstration.arguments = {u"bw"_s, u"--marketing-scene="_s + name};
        options.demonstration.archivesFolder = folder.makeFolder(u"archives"_s);
        const QUrl nowhere(u"http://127.0.0.1:9"_s);
        model = std::make_unique<AppModel>(
            std::make_shared<const AppServices>(
                AppServices{BuildScanner(),
                            {},
                            ReportStore(folder.path()),
                            BerthwatchBackend(nowhere),
                            AppStoreConnectService(),
                            ScreenshotAIService(BerthwatchBackend(nowhere))}),
            ReportStore::LoadResult{{ScanReport::sample()}, std::nullopt, true}, false, options);
        model->start();
    }

    test::TestFolder folder;
    ManualClock clock;
    std::unique_ptr<AppModel> model;
};

TEST(MarketingScenes, EachSceneEndsInItsPreparedStateAndNeverWritesTheHistory) {
    const ScanReport showcase = *marketing_mode::readShowcaseFile();
    const ScanPhase preparing = ScanPhase::scanning(1.0, u"Preparing report"_s);
    const ScanPhase idle = ScanPhase::idle(), finished = ScanPhase::finished();
    const std::vector<P> two{P::paywall, P::permissions},
        three{P::paywall, P::signIn, P::permissions};
    const struct {
        QString name;
        double playFor;
        bool staged;
        std::vector<P> slotAreas;
        ScanPhase phase;
        std::size_t reports;
        std::optional<ScanReport> report;
    } cases[] = {
        {u"drop"_s, 0, false, {}, idle, 0, {}},
        {u"home"_s, 0, false, {}, idle, 6, {}},
        {u"scan"_s, 60, true, two, preparing, 0, {}},
        {u"flow"_s, 12.75, true, two, finished, 1, showcase},
        {u"showcase"_s, 16.9, true, three, finished, 1, showcase},
        {u"screens"_s, 0, true, three, idle, 0, {}},
        {u"report"_s, 0, false, {}, finished, 1, showcase},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        Scene scene(c.name);
        scene.clock.advance(seconds(c.playFor));
        const AppModel& model = *scene.model;
        EXPECT_FALSE(model.canPersistReports());
        EXPECT_EQ(model.staged().has_value(), c.staged);
        EXPECT_EQ(test::fieldOf(model.screenshotSlots(), [](const auto& s) { return s.first; }),
                  c.slotAreas);
        EXPECT_EQ(model.scanPhase(), c.phase);
        ASSERT_EQ(model.reports().size(), c.reports);
        EXPECT_EQ(model.report(), c.report);
        EXPECT_FALSE(model.isStagedPreviewLoading());
        EXPECT_EQ(scene.clock.pendingCount(), 0u);
        if (c.staged) {
            EXPECT_EQ(model.staged()->path, u"/tmp/Tidepool.xcarchive"_s);
            EXPECT_EQ(model.staged()->preview->appName, showcase.metadata.appName);
        }
        // A demonstration never writes the history.
        if (c.reports > 0) {
            scene.model->deleteReport(model.reports().front().id);
            EXPECT_EQ(model.reports().size(), c.reports);
            EXPECT_TRUE(model.reportNotice().value_or(QString()).startsWith(
                u"The report could not be deleted"_s));
        }
    }
}

} // namespace
} // namespace bw
