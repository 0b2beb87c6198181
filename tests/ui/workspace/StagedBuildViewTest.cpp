#include "ui/workspace/StagedBuildView.h"

#include "app/AppModel.h"
#include "app/UpdateController.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/SilentPresenter.h"
#include "tests/support/TestFolder.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/workspace/WorkspaceFixture.h"
#include "ui/workspace/AppStoreImagesControl.h"
#include "ui/workspace/BuildMetadataItem.h"
#include "ui/workspace/CenteredRemoveButton.h"
#include "ui/workspace/IPhoneReviewSlot.h"
#include "ui/workspace/ReviewScreensSection.h"
#include "ui/workspace/StagedAppIcon.h"
#include "ui/workspace/StagedMetadataItem.h"
#include "ui/workspace/TextBlock.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::workspace;
using namespace bw::workspace::test;
using namespace Qt::Literals::StringLiterals;

namespace {

struct StagedScreen : Workspace {
    StagedBuildView view{model()};
    int scanRequests = 0;

    StagedScreen() {
        view.setFileChooser(&chooser);
        view.setScanRequest([this] { ++scanRequests; });
        view.resize(1120, 700);
        view.show();
    }

    void stage(const QString& build) {
        model().importBuild(build);
        ASSERT_TRUE(bw::test::waitFor([&] { return !model().isStagedPreviewLoading(); }, 60));
    }
    // The metadata row as the user reads it: title → value.
    std::map<QString, QString> metadata() const {
        std::map<QString, QString> cells;
        for (const auto* cell : view.findChildren<BuildMetadataItem*>()) {
            cells[cell->accessibleName()] = cell->value();
        }
        return cells;
    }
    // Widgets a screen adds while shown appear at the next turn of the event loop.
    bool showsText(const QString& text) const {
        QCoreApplication::processEvents();
        const auto texts = view.findChildren<QWidget*>();
        return std::ranges::any_of(texts, [&](const QWidget* widget) {
            const auto* label = qobject_cast<const QLabel*>(widget);
            const auto* block = qobject_cast<const TextBlock*>(widget);
            return widget->isVisibleTo(&view) &&
                   ((label && label->text() == text) || (block && block->text() == text));
        });
    }
    QAbstractButton* button(const QString& name) const {
        QCoreApplication::processEvents();
        return bw::test::named<QAbstractButton>(view, name, true);
    }
    IPhoneReviewSlot* slot(ScreenshotPrompt prompt) const {
        return view.reviewScreens()->slot(prompt);
    }
};

const QString reading = u"Reading…"_qs;
const QString unavailable = u"Unavailable"_qs;

struct ThumbnailCase {
    const char* name;
    std::function<QString(const bw::test::TestFolder&)> make;
    bool showsScreenshot;
};

QString portraitPng(const bw::test::TestFolder& folder) {
    return folder.write(u"shot.png"_s, bw::test::pngData(bw::test::quadrantImage({1320, 2868})));
}

const ThumbnailCase thumbnailCases[] = {
    {"png", portraitPng, true},
    {"jpeg",
     [](const auto& f) {
         return f.write(u"shot.JPG"_s, bw::test::jpegData(bw::test::quadrantImage({1290, 2796})));
     },
     true},
    {"heic",
     [](const auto& f) {
         return f.write(u"shot.heic"_s,
                        bw::test::heicData(bw::test::quadrantImage({600, 1300}), false));
     },
     true},
    {"fifo named like an image", [](const auto& f) { return f.makeFifo(u"pipe.png"_s); }, false},
    {"folder named like an image", [](const auto& f) { return f.makeFolder(u"album.jpg"_s); },
     false},
    {"beyond the pixel limit",
     [](const auto& f) {
         return f.write(u"huge.png"_s, bw::test::blankPng({20000, 20000}));
     },
     false},
    {"not an image", [](const auto& f) { return f.write(u"notes.png"_s, "just text"); }, false},
    {"missing", [](const auto& f) { return f.path() + u"/gone.png"_s; }, false},
};

} // namespace

TEST(StagedBuildView, AStagedIpaShowsReadingThenItsPreview) {
    StagedScreen screen;
    screen.model().importBuild(Workspace::fixtureBuild("Clean.ipa"));
    EXPECT_TRUE(screen.showsText(u"Reading build"_qs));
    EXPECT_TRUE(screen.view.findChild<StagedAppIcon*>()->showsSpinner());
    EXPECT_EQ(screen.metadata()[u"Bundle ID"_qs], reading);
    EXPECT_EQ(screen.metadata()[u"Artifact"_qs], u"IPA"_qs);
    EXPECT_TRUE(screen.button(u"Scan build"_qs)->isEnabled()); // loading does not disable it

    ASSERT_TRUE(bw::test::waitFor([&] { return !screen.model().isStagedPreviewLoading(); }, 60));
    const StagedBuildPreview& preview = *screen.model().staged()->preview;
    EXPECT_TRUE(screen.showsText(u"Ready to scan"_qs));
    EXPECT_TRUE(screen.showsText(preview.appName));
    EXPECT_EQ(screen.metadata()[u"Bundle ID"_qs], preview.bundleIdentifier);
    EXPECT_EQ(screen.metadata()[u"Version"_qs],
              preview.version + u" ("_qs + preview.buildNumber + u")"_qs);
    EXPECT_TRUE(screen.metadata().contains(u"Size"_qs));
    const auto* icon = screen.view.findChild<StagedAppIcon*>();
    EXPECT_FALSE(icon->showsSpinner());
    EXPECT_EQ(icon->showsImage(), preview.iconPNG.has_value());
    screen.button(u"Scan build"_qs)->click();
    EXPECT_EQ(screen.scanRequests, 1);
}

TEST(StagedBuildView, AFailedPreviewSaysUnavailableAndCanBeRetried) {
    StagedScreen screen;
    screen.stage(screen.folder.write(u"Broken.ipa"_qs, "not a zip archive"));
    const auto& staged = *screen.model().staged();
    ASSERT_TRUE(staged.previewError);
    EXPECT_TRUE(screen.showsText(u"Preview unavailable"_qs));
    EXPECT_TRUE(screen.showsText(*staged.previewError));
    // Nothing is being read any more, so no cell may claim to be reading.
    EXPECT_EQ(screen.metadata()[u"Bundle ID"_qs], unavailable);
    EXPECT_EQ(screen.metadata()[u"Platform"_qs], unavailable);
    EXPECT_FALSE(screen.button(u"Scan build"_qs)->isEnabled());

    screen.button(u"Retry preview"_qs)->click();
    EXPECT_TRUE(screen.model().isStagedPreviewLoading());
    EXPECT_EQ(screen.metadata()[u"Bundle ID"_qs], reading);
    ASSERT_TRUE(bw::test::waitFor([&] { return !screen.model().isStagedPreviewLoading(); }, 60));
    EXPECT_EQ(screen.metadata()[u"Bundle ID"_qs], unavailable);
}

TEST(StagedBuildView, AScanRefusedAsOutdatedOffersCheckForUpdates) {
    StagedScreen screen;
    screen.backend.fallback([](const bw::test::RecordedRequest&) {
        return bw::test::ScriptedResponse(
            409, R"({"error":"This version of Berthwatch is out of date. Update to scan."})");
    });
    screen.view.setScanRequest([&] { screen.model().startScan(false); });
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    screen.button(u"Scan build"_qs)->click();
    ASSERT_TRUE(screen.runUntil(
        [&] { return std::holds_alternative<ScanPhase::Failed>(screen.model().scanPhase().state); },
        120));
    ASSERT_TRUE(screen.model().isUpdateRequired());
    EXPECT_TRUE(screen.showsText(u"This version of Berthwatch is out of date. Update to scan."_qs));
    EXPECT_EQ(screen.button(u"Try again"_qs), nullptr);
    // This build names no update feed, so there is nothing to check with.
    UpdateController feedless;
    screen.view.setUpdateController(&feedless);
    EXPECT_FALSE(screen.button(u"Check for updates"_qs)->isEnabled());

    bw::test::SilentPresenter presenter;
    QSettings settings(screen.path("updates.ini"), QSettings::IniFormat);
    UpdateController updates(std::make_unique<updater::Updater>(
        screen.backend.url(u"/appcast.xml"_qs), u"1"_qs,
        updater::Updater::Environment{screen.clock, settings, presenter}));
    screen.view.setUpdateController(&updates);
    screen.button(u"Check for updates"_qs)->click();
    EXPECT_TRUE(updates.controller()->isChecking());
    ASSERT_TRUE(bw::test::waitFor([&] { return !updates.controller()->isChecking(); }));
}

TEST(StagedBuildView, WhileAScanRunsTheSlotsAndTheSwitchAreLocked) {
    StagedScreen screen;
    screen.view.setScanRequest([&] { screen.model().startScan(false); });
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    screen.model().setScreenshot(
        screen.folder.write(u"paywall.png"_qs,
                            bw::test::pngData(QImage(40, 80, QImage::Format_RGB32))),
        ScreenshotPrompt::paywall);
    screen.button(u"Scan build"_qs)->click();
    // The scan holds at "Preparing report" until the minimum presentation has passed on the
    // test's clock, which does not move by itself.
    ASSERT_TRUE(bw::test::waitFor([&] { return screen.showsText(u"Preparing report"_qs); }, 120));
    EXPECT_TRUE(screen.showsText(u"99%"_qs));
    EXPECT_TRUE(screen.slot(ScreenshotPrompt::restore)->isLocked());
    EXPECT_FALSE(screen.slot(ScreenshotPrompt::paywall)->isLocked());
    EXPECT_FALSE(bw::test::dropFile(*screen.slot(ScreenshotPrompt::restore),
                                    screen.slot(ScreenshotPrompt::restore)->phoneRect().center(),
                                    screen.path("paywall.png")));
    EXPECT_FALSE(screen.view.findChild<AppStoreImagesControl*>()->isEnabled());
}

TEST(StagedBuildView, EverySlotTakesScreenshotsByChoosingAndDropping) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    const QImage picture = bw::test::quadrantImage({300, 650});
    const QString png = screen.folder.write(u"screen.png"_qs, bw::test::pngData(picture));
    const QString jpeg = screen.folder.write(u"screen.JPEG"_qs, bw::test::jpegData(picture));
    const QString heic = screen.folder.write(u"screen.heic"_qs, bw::test::heicData(picture, false));
    const QString gif = screen.folder.write(u"screen.gif"_qs, "GIF89a");
    const QString fifo = screen.folder.makeFifo(u"stream.png"_qs);
    const QString huge = screen.folder.write(u"huge.png"_qs, bw::test::blankPng({20000, 20000}));
    const QString message = u"Use PNG, JPEG, or HEIC screenshots."_qs;
    const auto slotFile = [&](ScreenshotPrompt prompt) {
        const auto found = screen.model().screenshotSlots().find(prompt);
        return found == screen.model().screenshotSlots().end() ? QString() : found->second;
    };

    for (const auto prompt : allCases<ScreenshotPrompt>()) {
        SCOPED_TRACE(rawValue(prompt).toStdString());
        IPhoneReviewSlot* slot = screen.slot(prompt);
        const auto drop = [&](const QString& file) {
            return bw::test::dropFile(*slot, slot->phoneRect().center(), file) &&
                   bw::test::waitFor(
                       [&] { return slotFile(prompt) == file || screen.model().importMessage(); });
        };
        // A cancelled panel changes nothing; a chosen file fills the slot.
        screen.chooser.answer.reset();
        QTest::mouseClick(slot->childAt(slot->phoneRect().topLeft() + QPoint(20, 60)),
                          Qt::LeftButton);
        EXPECT_EQ(slotFile(prompt), QString());
        screen.chooser.answer = png;
        screen.view.reviewScreens()->chooseScreenshot(prompt);
        EXPECT_EQ(slotFile(prompt), png);
        EXPECT_EQ(screen.chooser.asked.back().message,
                  u"Choose the "_qs + slot->accessibleName().section(u',', 0, 0).toLower() +
                      u" screen"_qs);

        // Dropping replaces; the GIF is refused and leaves the HEIC in place.
        for (const QString& file : {jpeg, heic}) {
            ASSERT_TRUE(drop(file));
            ASSERT_TRUE(bw::test::waitFor([&] { return slot->isThumbnailSettled(); }));
            EXPECT_TRUE(slot->showsScreenshot());
        }
        ASSERT_TRUE(drop(gif));
        EXPECT_EQ(slotFile(prompt), heic);
        EXPECT_TRUE(screen.showsText(message));

        // A pipe named like an image, or an image beyond the pixel limit, is taken by name but
        // shows the empty phone, at once.
        for (const QString& file : {fifo, huge}) {
            ASSERT_TRUE(drop(file));
            EXPECT_TRUE(bw::test::waitFor([&] { return !screen.showsText(message); }));
            ASSERT_TRUE(bw::test::waitFor([&] { return slot->isThumbnailSettled(); }));
            EXPECT_FALSE(slot->showsScreenshot());
            EXPECT_TRUE(slot->isFilled());
        }

        slot->findChild<CenteredRemoveButton*>()->click();
        EXPECT_EQ(slotFile(prompt), QString());
        EXPECT_FALSE(slot->isFilled());
    }
}

TEST(StagedBuildView, TheAppStoreImagesSwitchWritesTheModel) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    auto* control = screen.view.findChild<AppStoreImagesControl*>();
    control->click();
    EXPECT_TRUE(screen.model().screenshotsAreStoreListing());
    EXPECT_EQ(control->accessibleDescription(), u"On"_qs);
    screen.model().setScreenshotsAreStoreListing(false);
    EXPECT_EQ(control->accessibleDescription(), u"Off"_qs);

    auto* section = screen.view.reviewScreens();
    screen.button(u"About App Store images"_qs)->click();
    EXPECT_TRUE(section->isStoreImageHelpPresented());
    screen.button(u"About App Store images"_qs)->click();
    EXPECT_FALSE(section->isStoreImageHelpPresented());
}

TEST(StagedBuildView, AtTheWindowsMinimumWidthTheScreenIsCompact) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    // The window's least content (960 × 640) beside the widest sidebar (280).
    screen.view.resize(680, 640);
    QTest::qWait(20);
    ASSERT_TRUE(screen.view.isCompact());
    EXPECT_TRUE(screen.view.reviewScreens()->isHeaderStacked());
    // Five slots do not fit: the row scrolls sideways.
    auto* rowScroll =
        screen.slot(ScreenshotPrompt::paywall)->parentWidget()->parentWidget()->parentWidget();
    auto* scroll = qobject_cast<QScrollArea*>(rowScroll);
    ASSERT_NE(scroll, nullptr);
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(screen.showsText(u"Your build stays on this computer."_qs));
}

// A long file name and an error naming a long path are shortened and wrapped inside the column;
// they never widen the screen past the window.
TEST(StagedBuildView, LongNamesStayInsideTheColumn) {
    StagedScreen screen;
    screen.view.resize(680, 640);
    screen.stage(screen.folder.write(
        u"A-build-whose-name-runs-on-and-on-and-on-without-any-space-at-all.ipa"_qs,
        "not an archive"));
    QTest::qWait(20);
    ASSERT_TRUE(screen.model().staged()->previewError);
    EXPECT_LE(screen.view.reviewScreens()->width(), screen.view.width() - 2 * 24);
}

TEST(StagedPieces, MetadataCellsFollowWhatThePreviewKnows) {
    StagedBuild staged{QUuid::createUuid(), u"Tool.app"_qs, u"/builds/Tool.app"_qs, {}, {}, {}};
    staged.preview = StagedBuildPreview{
        {u"Tool"_qs, u"com.example.tool"_qs, u"2.1"_qs, u"40"_qs, u"macOS"_qs, u"Unavailable"_qs},
        {},
        {},
        0};
    const auto titles = [](const std::vector<StagedMetadataItem>& items) {
        QStringList list;
        for (const auto& item : items) {
            list << item.title + u'=' + item.value;
        }
        return list;
    };
    EXPECT_EQ(titles(metadataItems(staged, false)),
              QStringList({u"Bundle ID=com.example.tool"_qs, u"Version=2.1 (40)"_qs,
                           u"Platform=macOS"_qs, u"Artifact=App"_qs}));
    staged.preview->minimumOS = u"13.0"_qs;
    staged.preview->targetDevices = u"iPhone, iPad"_qs;
    staged.preview->bundleSize = 1'500'000;
    EXPECT_EQ(titles(metadataItems(staged, true)),
              QStringList({u"Bundle ID=com.example.tool"_qs, u"Version=2.1 (40)"_qs,
                           u"Platform=macOS 13.0+"_qs, u"Devices=iPhone, iPad"_qs,
                           u"Artifact=App"_qs, u"Size=1.5 MB"_qs}));
}

// A value too long for its cell is shortened in the middle, yet selecting it copies all of it;
// a part selected away from the ellipsis copies just that part.
TEST(StagedPieces, AShortenedMetadataValueIsSelectedAndCopiedWhole) {
    const QString value = u"com.example.a-rather-long-bundle-identifier.widgets"_qs;
    BuildMetadataItem cell(u"Bundle ID"_qs, value, true);
    cell.resize(90, cell.sizeHint().height());
    cell.show();
    auto* shown = cell.findChildren<QLabel*>().back();
    ASSERT_TRUE(shown->text().contains(u'\u2026'));
    shown->setSelection(0, int(shown->text().size()));
    QTest::keySequence(shown, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), value);
    shown->setSelection(0, 3);
    QTest::keySequence(shown, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), u"com"_qs);
}

TEST(ReviewSlotTest, ThumbnailsAreReadOffTheMainThreadAndUnreadableFilesShowThePlaceholder) {
    for (const auto& item : thumbnailCases) {
        SCOPED_TRACE(item.name);
        bw::test::TestFolder folder;
        const QString path = item.make(folder);
        IPhoneReviewSlot slot(ScreenshotPrompt::signIn);
        slot.setSlotWidth(188);
        QElapsedTimer call;
        call.start();
        slot.setUrl(path);
        EXPECT_LT(call.elapsed(), 100); // the read happens elsewhere
        ASSERT_TRUE(bw::test::waitFor([&] { return slot.isThumbnailSettled(); }));
        EXPECT_EQ(slot.showsScreenshot(), item.showsScreenshot);
        // The caption follows the file, not the image.
        EXPECT_EQ(slot.accessibleName(), u"Sign in, screenshot added"_s);
        if (item.showsScreenshot) {
            // Scaled to the largest phone screen, never kept at full size.
            EXPECT_LE(slot.screenshotPixelSize().height(),
                      std::ceil(351 * slot.devicePixelRatioF()));
        }
    }
}

TEST(ReviewSlotTest, ANewFileSupersedesTheOneStillBeingRead) {
    bw::test::TestFolder folder;
    const QString huge = folder.write(u"huge.png"_s, bw::test::blankPng({5000, 5000}));
    const QString wide =
        folder.write(u"wide.png"_s, bw::test::pngData(bw::test::quadrantImage({600, 300})));
    IPhoneReviewSlot slot(ScreenshotPrompt::paywall);
    slot.setUrl(huge);
    slot.setUrl(wide);
    ASSERT_TRUE(bw::test::waitFor([&] { return slot.isThumbnailSettled(); }));
    bw::test::waitFor([] { return false; }, 0.3); // a late result of the first read must not land
    // The landscape file, scaled to the screen's height.
    EXPECT_GT(slot.screenshotPixelSize().width(), slot.screenshotPixelSize().height());

    slot.setUrl(std::nullopt);
    EXPECT_FALSE(slot.showsScreenshot());
    EXPECT_EQ(slot.accessibleName(), u"Paywall, not added"_s);
}

struct SlotUnderTest {
    IPhoneReviewSlot slot{ScreenshotPrompt::accountDeletion};
    QSignalSpy chosen{&slot, &IPhoneReviewSlot::chooseRequested};
    QSignalSpy removed{&slot, &IPhoneReviewSlot::removeRequested};
    QSignalSpy dropped{&slot, &IPhoneReviewSlot::fileDropped};

    SlotUnderTest() {
        slot.setSlotWidth(160);
        slot.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&slot));
    }
    QPoint phoneCentre() const { return slot.phoneRect().center(); }
    // Clicks the innermost widget under the phone's upper part (clear of the remove button), as
    // the window system would.
    void click() {
        const QPoint point = slot.phoneRect().center() - QPoint(0, slot.phoneRect().height() / 4);
        QWidget* leaf = slot.childAt(point);
        QTest::mouseClick(leaf, Qt::LeftButton, {}, leaf->mapFrom(&slot, point));
    }
    bool drop(const QString& path) { return bw::test::dropFile(slot, phoneCentre(), path); }
    CenteredRemoveButton* removeButton() const { return slot.findChild<CenteredRemoveButton*>(); }
    void hover() {
        QWidget* phone = slot.childAt(phoneCentre());
        while (phone->parentWidget() != &slot) {
            phone = phone->parentWidget();
        }
        QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
        QApplication::sendEvent(phone, &enter);
    }
};

TEST(ReviewSlotTest, WhileScanningEmptySlotsAreLockedAndNoSlotTakesDrops) {
    SlotUnderTest s;
    bw::test::TestFolder folder;
    const QString png = portraitPng(folder);
    s.slot.setInputDisabled(true);
    EXPECT_TRUE(s.slot.isLocked());
    s.click();
    EXPECT_FALSE(s.drop(png));

    s.slot.setUrl(png);
    EXPECT_FALSE(s.slot.isLocked());
    EXPECT_FALSE(s.drop(png));
    s.hover();
    s.removeButton()->click();
    bw::test::waitFor([] { return false; }, 0.05);
    EXPECT_EQ(s.chosen.count(), 0);
    EXPECT_EQ(s.dropped.count(), 0);
    EXPECT_EQ(s.removed.count(), 1);
}
