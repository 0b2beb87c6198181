#include "tests/app/ModelHarness.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::ModelHarness;
using test::waitUntil;

TEST(Staging, ImportAcceptsBuildsByExtensionAndRecordsRefusals) {
    const struct {
        QString path;
        std::optional<QString> stagedName;
        std::optional<ImportRejection> rejection;
    } cases[] = {
        {u"/builds/MyApp.IPA"_s, u"MyApp.IPA"_s, std::nullopt},
        {u"/builds/Build.xcarchive/"_s, u"Build.xcarchive"_s, std::nullopt},
        {u"/builds/Build.app"_s, u"Build.app"_s, std::nullopt},
        {u"/builds/notes.txt"_s, std::nullopt, ImportRejection{u"notes"_s, u"txt"_s}},
        {u"/builds/Payload"_s, std::nullopt, ImportRejection{u"Payload"_s, QString()}},
        {u"/builds/.ipa"_s, std::nullopt, ImportRejection{u".ipa"_s, QString()}},
    };
    ModelHarness harness;
    AppModel& model = harness.model();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        harness.stage(u"/builds/Earlier.ipa"_s);
        model.setScreenshot(u"/shots/a.png"_s, ScreenshotPrompt::paywall);
        model.setImportMessage(u"earlier"_s);
        const StagedBuild earlier = *model.staged();
        const int refusals = model.importRejectionCount();

        model.importBuild(c.path);
        EXPECT_EQ(model.importRejection(), c.rejection);
        EXPECT_EQ(model.importMessage(), std::nullopt);
        if (c.stagedName) {
            EXPECT_EQ(model.staged()->fileName, *c.stagedName);
            EXPECT_EQ(model.staged()->path, c.path);
            EXPECT_NE(model.staged()->id, earlier.id);
            EXPECT_TRUE(model.isStagedPreviewLoading());
            EXPECT_TRUE(model.screenshotSlots().empty());
            EXPECT_EQ(model.importRejectionCount(), refusals);
        } else {
            EXPECT_EQ(model.staged(), earlier);
            EXPECT_EQ(model.screenshotSlots().size(), 1u);
            EXPECT_EQ(model.importRejectionCount(), refusals + 1);
        }
        waitUntil([&] { return !model.isStagedPreviewLoading(); });
    }
}

TEST(Staging, OnlyTheCurrentBuildsPreviewLowersTheLoadingFlag) {
    ModelHarness harness;
    const QString release = harness.folder.path() + u"/release"_s;
    // The extraction of Clean.ipa waits until the test releases it.
    harness.tools = harness.folder.tools(
        {{u"ditto"_s, "case \"$*\" in *Clean.ipa*) while [ ! -e '" + release.toUtf8() +
                          "' ]; do sleep 0.01; done;; esac\nexec '" BW_LIBEXEC_DIR
                          "/ditto' \"$@\""}});
    AppModel& model = harness.launch();

    model.importBuild(test::fixtureBuild(u"Debug.ipa"_s));
    model.importBuild(test::fixtureBuild(u"Clean.ipa"_s));
    // The superseded preview ends meanwhile; its result is dropped and the flag stays up.
    waitUntil([] { return false; }, 1.0);
    EXPECT_TRUE(model.isStagedPreviewLoading());
    EXPECT_EQ(model.staged()->fileName, u"Clean.ipa"_s);
    EXPECT_FALSE(model.staged()->preview);

    QFile(release).open(QIODevice::WriteOnly);
    ASSERT_TRUE(waitUntil([&] { return !model.isStagedPreviewLoading(); }));
    ASSERT_TRUE(model.staged()->preview);
    EXPECT_EQ(model.staged()->fileName, u"Clean.ipa"_s);
    QFile::remove(release);

    // Cleared while its preview runs: the result is dropped, the flag is down at once.
    model.loadStagedPreview();
    EXPECT_TRUE(model.isStagedPreviewLoading());
    model.clearStagedBuild();
    EXPECT_FALSE(model.isStagedPreviewLoading());
    QFile(release).open(QIODevice::WriteOnly);
    waitUntil([] { return false; }, 0.5);
    EXPECT_FALSE(model.staged());
}

TEST(Staging, AFailedPreviewCanBeRetriedAndRaisesTheFlagAgain) {
    ModelHarness harness;
    AppModel& model = harness.model();
    harness.stage(harness.folder.path() + u"/Missing.ipa"_s);
    ASSERT_TRUE(model.staged()->previewError);
    EXPECT_FALSE(model.staged()->preview);

    model.loadStagedPreview();
    EXPECT_TRUE(model.isStagedPreviewLoading());
    EXPECT_FALSE(model.staged()->previewError);
    ASSERT_TRUE(waitUntil([&] { return !model.isStagedPreviewLoading(); }));
    EXPECT_TRUE(model.staged()->previewError);
}

TEST(Staging, ScreenshotsAreKeptPerAreaInReviewOrder) {
    ModelHarness harness;
    AppModel& model = harness.model();
    model.setScreenshot(u"/s/restore.PNG"_s, ScreenshotPrompt::restore);
    model.setScreenshot(u"/s/paywall.heic"_s, ScreenshotPrompt::paywall);
    model.setScreenshot(u"/s/shot.gif"_s, ScreenshotPrompt::paywall);
    EXPECT_EQ(model.importMessage(), u"Use PNG, JPEG, or HEIC screenshots."_s);
    EXPECT_EQ(model.selectedScreenshotURLs(),
              (QStringList{u"/s/paywall.heic"_s, u"/s/restore.PNG"_s}));
    model.setScreenshot(u"/s/restore.PNG"_s, ScreenshotPrompt::signIn);
    EXPECT_EQ(model.importMessage(), std::nullopt);
    EXPECT_EQ(model.selectedScreenshotURLs().size(), 3);
}

TEST(Staging, EqualWritesNotifyNothing) {
    ModelHarness harness;
    AppModel& model = harness.model();
    model.resetForNewScan();
    const QMetaObject& meta = *model.metaObject();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index) {
        const QMetaProperty property = meta.property(index);
        spies.push_back(std::make_unique<QSignalSpy>(&model, property.notifySignal()));
        if (property.isWritable()) {
            EXPECT_TRUE(property.write(&model, property.read(&model))) << property.name();
        }
    }
    model.resetForNewScan();
    model.removeScreenshot(ScreenshotPrompt::permissions);
    for (const auto& spy : spies) {
        EXPECT_EQ(spy->count(), 0) << spy->signal().toStdString();
    }
}

TEST(Staging, ClearingKeepsTheReportAndResettingKeepsTheHistory) {
    ModelHarness harness;
    AppModel& model = harness.model();
    model.openReport(ScanReport::sample());
    model.setFindingFilter(FindingSeverity::blocker);
    model.setSelectedFindingID(u"sample.debug-entitlement"_s);
    model.importBuild(u"/b/notes.txt"_s);

    model.clearStagedBuild();
    EXPECT_EQ(model.report(), ScanReport::sample());
    EXPECT_EQ(model.findingFilter(), FindingSeverity::blocker);
    EXPECT_EQ(model.importRejection(), std::nullopt);

    model.resetForNewScan();
    EXPECT_FALSE(model.report());
    EXPECT_FALSE(model.findingFilter());
    EXPECT_FALSE(model.selectedFindingID());
    EXPECT_EQ(model.importRejectionCount(), 1);
    EXPECT_EQ(model.section(), AppSection::scan);
}

} // namespace
} // namespace bw
