#include "app/Launch.h"
#include "model/MarketingShowcase.h"
#include "platform/clock/ManualClock.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using P = ScreenshotPrompt;

// A model started with one scene, whose history holds one saved report.
struct Scene {
    explicit Scene(const QString& name, const QString& showcaseFile = {}) {
        AppModelOptions options;
        options.clock = &clock;
        options.arguments = {u"bw"_s, u"--marketing-scene="_s + name};
        options.showcaseFile = showcaseFile;
        options.archivesFolder = folder.makeFolder(u"archives"_s);
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

    std::vector<P> slotAreas() const {
        std::vector<P> areas;
        std::ranges::transform(model->screenshotSlots(), std::back_inserter(areas),
                               [](const auto& slot) { return slot.first; });
        return areas;
    }

    test::TestFolder folder;
    ManualClock clock;
    std::unique_ptr<AppModel> model;
};

TEST(MarketingScenes, ADemonstrationNeverWritesTheHistory) {
    Scene scene(u"report"_s);
    const std::vector<ScanReport> shown = scene.model->reports();
    scene.model->deleteReport(shown.front().id);
    EXPECT_EQ(scene.model->reports(), shown);
    EXPECT_TRUE(
        scene.model->reportNotice()->startsWith(u"The report could not be deleted from disk. "_s));
}

} // namespace
} // namespace bw
