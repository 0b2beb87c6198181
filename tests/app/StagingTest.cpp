#include "tests/app/ModelHarness.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <thread>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::waitFor;

TEST(Staging, ImportAcceptsBuildsByExtensionAndRecordsRefusals) {
    const struct {
        QString path;
        QString stagedName; // empty: refused with the rejection
        ImportRejection rejection;
    } cases[] = {
        {u"/b/MyApp.IPA"_s, u"MyApp.IPA"_s, {}},
        {u"/b/Build.xcarchive/"_s, u"Build.xcarchive"_s, {}},
        {u"/b/notes.txt"_s, {}, {u"notes"_s, u"txt"_s}},
        {u"/b/Payload"_s, {}, {u"Payload"_s, {}}},
        {u"/b/.ipa"_s, {}, {u".ipa"_s, {}}},
    };
    test::ModelHarness harness;
    AppModel& model = harness.model();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        harness.stage(u"/b/Earlier.ipa"_s);
        model.setScreenshot(u"/s/a.png"_s, ScreenshotPrompt::paywall);
        model.setImportMessage(u"earlier"_s);
        const StagedBuild earlier = *model.staged();
        const int refusals = model.importRejectionCount();
        model.importBuild(c.path);
        const bool accepted = !c.stagedName.isEmpty();
        EXPECT_EQ(model.importRejection(), accepted ? std::nullopt : std::optional(c.rejection));
        EXPECT_EQ(model.importRejectionCount(), refusals + (accepted ? 0 : 1));
        EXPECT_EQ(model.importMessage(), std::nullopt);
        EXPECT_EQ(model.screenshotSlots().empty(), accepted);
        EXPECT_EQ(model.staged()->fileName, accepted ? c.stagedName : earlier.fileName);
        EXPECT_EQ(model.staged()->id == earlier.id, !accepted);
        EXPECT_EQ(model.isStagedPreviewLoading(), accepted);
        waitFor([&] { return !model.isStagedPreviewLoading(); });
    }
    // Nothing is at that path: the preview fails, and "Retry preview" clears the error first.
    ASSERT_TRUE(model.staged()->previewError);
    model.loadStagedPreview();
    EXPECT_FALSE(model.staged()->previewError);
    EXPECT_TRUE(model.isStagedPreviewLoading());
}

TEST(Staging, OnlyTheCurrentBuildsPreviewLowersTheLoadingFlag) {
    test::ModelHarness harness;
    const QString release = harness.folder.filePath(u"release"_s);
    const QString extracted = harness.folder.filePath(u"Debug extracted"_s);
    // The extraction of Clean.ipa waits until the test releases it; Debug.ipa's says when done.
    harness.tools = harness.folder.tools(
        {{u"ditto"_s, "case \"$*\" in *Clean.ipa*) while [ ! -e '" + release.toUtf8() +
                          "' ]; do sleep 0.01; done;; esac\n'" BW_LIBEXEC_DIR
                          "/ditto' \"$@\"; status=$?\ncase \"$*\" in *Debug.ipa*) touch '" +
                          extracted.toUtf8() + "';; esac\nexit $status"}});
    AppModel& model = harness.launch();
    model.importBuild(test::fixtureBuild(u"Debug.ipa"_s));
    // The main thread waits without turning its event loop: Debug.ipa's preview ends and its
    // result is on its way when Clean.ipa supersedes it.
    for (int tries = 0; tries < 3000 && !QFile::exists(extracted); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    model.importBuild(test::fixtureBuild(u"Clean.ipa"_s));
    // The superseded result is dropped and the flag stays up.
    waitFor([] { return false; }, 1.0);
    EXPECT_TRUE(model.isStagedPreviewLoading());
    EXPECT_FALSE(model.staged()->preview);
    QFile(release).open(QIODevice::WriteOnly);
    ASSERT_TRUE(waitFor([&] { return !model.isStagedPreviewLoading(); }));
    EXPECT_TRUE(model.staged()->preview);
    QFile::remove(release);

    // "Retry preview" raises the flag again; a build cleared meanwhile drops the result.
    model.loadStagedPreview();
    EXPECT_TRUE(model.isStagedPreviewLoading());
    model.clearStagedBuild();
    EXPECT_FALSE(model.isStagedPreviewLoading());
    QFile(release).open(QIODevice::WriteOnly);
    waitFor([] { return false; }, 0.5);
    EXPECT_FALSE(model.staged());
}

TEST(Staging, ScreenshotsClearingAndResetting) {
    test::ModelHarness harness;
    AppModel& model = harness.model();
    model.setScreenshot(u"/s/restore.PNG"_s, ScreenshotPrompt::restore);
    model.setScreenshot(u"/s/paywall.heic"_s, ScreenshotPrompt::paywall);
    model.setScreenshot(u"/s/shot.gif"_s, ScreenshotPrompt::paywall); // refused
    EXPECT_EQ(model.selectedScreenshotURLs(),
              (QStringList{u"/s/paywall.heic"_s, u"/s/restore.PNG"_s}));
    model.setScreenshot(u"/s/restore.PNG"_s, ScreenshotPrompt::signIn);
    EXPECT_EQ(model.selectedScreenshotURLs().size(), 3);

    // Clearing the staged build keeps the report on screen; a reset closes it.
    model.openReport(ScanReport::sample());
    model.setFindingFilter(FindingSeverity::blocker);
    model.importBuild(u"/b/notes.txt"_s);
    model.clearStagedBuild();
    EXPECT_EQ(model.report(), ScanReport::sample());
    EXPECT_EQ(model.findingFilter(), FindingSeverity::blocker);
    EXPECT_EQ(model.importRejection(), std::nullopt);
    model.resetForNewScan();
    EXPECT_FALSE(model.report());
    EXPECT_FALSE(model.findingFilter());
    EXPECT_EQ(model.importRejectionCount(), 1);
}

TEST(Staging, EqualWritesNotifyNothing) {
    test::ModelHarness harness;
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

} // namespace
} // namespace bw
