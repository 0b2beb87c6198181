#include "tests/support/ImageFiles.h"
#include "tests/support/TestFolder.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/Widgets.h"
#include "ui/workspace/CenteredRemoveButton.h"
#include "ui/workspace/IPhoneReviewSlot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::workspace {
namespace {

using namespace Qt::Literals::StringLiterals;

struct ThumbnailCase {
    const char* name;
    std::function<QString(const test::TestFolder&)> make;
    bool showsScreenshot;
};

QString portraitPng(const test::TestFolder& folder) {
    return folder.write(u"shot.png"_s, test::pngData(test::quadrantImage({1320, 2868})));
}

const ThumbnailCase thumbnailCases[] = {
    {"png", portraitPng, true},
    {"jpeg",
     [](const auto& f) {
         return f.write(u"shot.JPG"_s, test::jpegData(test::quadrantImage({1290, 2796})));
     },
     true},
    {"heic",
     [](const auto& f) {
         return f.write(u"shot.heic"_s, test::heicData(test::quadrantImage({600, 1300}), false));
     },
     true},
    {"fifo named like an image", [](const auto& f) { return f.makeFifo(u"pipe.png"_s); }, false},
    {"folder named like an image", [](const auto& f) { return f.makeFolder(u"album.jpg"_s); },
     false},
    {"beyond the pixel limit",
     [](const auto& f) {
         return f.write(u"huge.png"_s, test::blankPng({20000, 20000}));
     },
     false},
    {"not an image", [](const auto& f) { return f.write(u"notes.png"_s, "just text"); }, false},
    {"missing", [](const auto& f) { return f.path() + u"/gone.png"_s; }, false},
};

TEST(ReviewSlotTest, ThumbnailsAreReadOffTheMainThreadAndUnreadableFilesShowThePlaceholder) {
    for (const auto& item : thumbnailCases) {
        SCOPED_TRACE(item.name);
        test::TestFolder folder;
        const QString path = item.make(folder);
        IPhoneReviewSlot slot(ScreenshotPrompt::signIn);
        slot.setSlotWidth(188);
        QElapsedTimer call;
        call.start();
        slot.setUrl(path);
        EXPECT_LT(call.elapsed(), 100); // the read happens elsewhere
        ASSERT_TRUE(test::waitFor([&] { return slot.isThumbnailSettled(); }));
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
    test::TestFolder folder;
    const QString huge = folder.write(u"huge.png"_s, test::blankPng({5000, 5000}));
    const QString wide =
        folder.write(u"wide.png"_s, test::pngData(test::quadrantImage({600, 300})));
    IPhoneReviewSlot slot(ScreenshotPrompt::paywall);
    slot.setUrl(huge);
    slot.setUrl(wide);
    ASSERT_TRUE(test::waitFor([&] { return slot.isThumbnailSettled(); }));
    test::waitFor([] { return false; }, 0.3); // a late result of the first read must not land
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
    bool drop(const QString& path) { return test::dropFile(slot, phoneCentre(), path); }
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
    test::TestFolder folder;
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
    test::waitFor([] { return false; }, 0.05);
    EXPECT_EQ(s.chosen.count(), 0);
    EXPECT_EQ(s.dropped.count(), 0);
    EXPECT_EQ(s.removed.count(), 1);
}

} // namespace
} // namespace bw::workspace
