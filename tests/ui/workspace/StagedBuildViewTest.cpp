#include "ui/workspace/StagedBuildView.h"

#include "app/AppModel.h"
#include "app/UpdateController.h"
#include "tests/support/FieldOf.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/workspace/WorkspaceFixture.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/Motion.h"
#include "ui/design/TextBlock.h"
#include "ui/workspace/AppStoreImagesControl.h"
#include "ui/workspace/BuildMetadataItem.h"
#include "ui/workspace/CenteredRemoveButton.h"
#include "ui/workspace/IPhoneReviewSlot.h"
#include "ui/workspace/ReviewAreaText.h"
#include "ui/workspace/ReviewScreensSection.h"
#include "ui/workspace/ScrollEdgeFade.h"
#include "ui/workspace/StagedAppIcon.h"
#include "ui/workspace/StagedLayout.h"
#include "ui/workspace/StagedMetadataItem.h"
#include "ui/workspace/StagedPrimaryButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGraphicsOpacityEffect>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
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
        return !textsShowing(text).empty();
    }
    QAbstractButton* button(const QString& name) const {
        QCoreApplication::processEvents();
        return bw::test::button(view, name);
    }
    IPhoneReviewSlot* slot(ScreenshotPrompt prompt) const {
        return view.reviewScreens()->slot(prompt);
    }
    // The row that scrolls the slots sideways.
    QScrollArea* slotRow() const {
        return qobject_cast<QScrollArea*>(
            slot(ScreenshotPrompt::paywall)->parentWidget()->parentWidget()->parentWidget());
    }
    std::vector<QWidget*> textsShowing(const QString& text) const {
        return textsShowingIn(view, text);
    }
    static std::vector<QWidget*> textsShowingIn(const QWidget& view, const QString& text) {
        std::vector<QWidget*> found;
        for (QWidget* widget : view.findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const QLabel*>(widget);
            const auto* block = qobject_cast<const design::TextBlock*>(widget);
            const auto* line = dynamic_cast<const design::ElidedText*>(widget);
            if (widget->isVisibleTo(&view) &&
                ((label && label->text() == text) || (block && block->text() == text) ||
                 (line && line->text() == text))) {
                found.push_back(widget);
            }
        }
        return found;
    }
    // Waits until the red line under the slots has opened or closed.
    void settleMessage() const {
        bw::test::settle();
        EXPECT_TRUE(
            bw::test::waitFor([&] { return view.reviewScreens()->importMessage()->isSettled(); }));
        bw::test::settle();
    }
};

const QString reading = u"Reading…"_qs;
const QString unavailable = u"Unavailable"_qs;

// The screen beside the default sidebar (248) under the toolbar (40), in the window at its least
// size, its default size and a large one.
const QSize screenSizes[] = {{712, 600}, {872, 720}, {1152, 860}};

// An iOS app folder whose preview holds a long bundle identifier.
QString longIdentifierApp(const bw::test::TestFolder& folder) {
    folder.write(u"Hemoguia.app/Info.plist"_qs, R"(<plist version="1.0"><dict>
<key>CFBundleIdentifier</key><string>com.pixostudio.medical.hemoguia.companion</string>
<key>CFBundleName</key><string>Hemoguia</string>
<key>CFBundleExecutable</key><string>Hemoguia</string>
<key>DTPlatformName</key><string>iphoneos</string>
</dict></plist>)");
    folder.write(u"Hemoguia.app/Hemoguia"_qs, QByteArray(4096, 'x'), 0755);
    return folder.path() + u"/Hemoguia.app"_qs;
}

// Where `widget` lies inside what `view` shows of it, in the view's coordinates.
QRect shownRect(const QWidget& widget, const QWidget& view) {
    QRect rect(widget.mapTo(&view, QPoint()), widget.size());
    for (const QWidget* up = widget.parentWidget(); up && up != &view; up = up->parentWidget()) {
        rect &= QRect(up->mapTo(&view, QPoint()), up->size());
    }
    return rect;
}

// The page stands at its top, the build's name in view, whatever message has come.
void expectPageAtItsTop(const StagedBuildView& view) {
    EXPECT_EQ(view.findChild<QScrollArea*>()->verticalScrollBar()->value(), 0);
}

// How bright the brightest point of the upper `share` of `widget` (by default 0.6, a phone's
// face) is as the widget draws itself, and as it shows on `screen`.
std::pair<int, int> brightestPoint(QWidget& widget, QWidget& screen, double share = 0.6) {
    const QImage own = widget.grab().toImage();
    QPoint brightest;
    int most = -1;
    for (int y = 0; y < int(own.height() * share); ++y) {
        for (int x = 0; x < own.width(); ++x) {
            if (qGray(own.pixel(x, y)) > most) {
                most = qGray(own.pixel(x, y));
                brightest = {x, y};
            }
        }
    }
    return {most, qGray(screen.grab().toImage().pixel(widget.mapTo(&screen, brightest)))};
}

QString portraitPng(const bw::test::TestFolder& folder) {
    return folder.write(u"shot.png"_s, bw::test::pngData(bw::test::quadrantImage({1320, 2868})));
}

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
    const QString refusal = u"This version of Berthwatch is out of date and can no longer scan "
                            u"builds. Update to the newest version to scan again."_qs;
    screen.backend.fallback([&](const bw::test::RecordedRequest&) {
        return bw::test::ScriptedResponse(409, QJsonDocument(QJsonObject{{u"error"_qs, refusal}})
                                                   .toJson(QJsonDocument::Compact)
                                                   .toStdString());
    });
    screen.view.setScanRequest([&] { screen.model().startScan(false); });
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    screen.button(u"Scan build"_qs)->click();
    ASSERT_TRUE(screen.runUntil(
        [&] { return std::holds_alternative<ScanPhase::Failed>(screen.model().scanPhase().state); },
        120));
    ASSERT_TRUE(screen.model().isUpdateRequired());
    // Beside the button and in the red line under the slots.
    screen.settleMessage();
    EXPECT_EQ(screen.textsShowing(refusal).size(), 2u);
    EXPECT_EQ(screen.button(u"Try again"_qs), nullptr);
    // This build names no update feed, so there is nothing to check with.
    UpdateController feedless;
    screen.view.setUpdateController(&feedless);
    EXPECT_FALSE(screen.button(u"Check for updates"_qs)->isEnabled());
}

// A message that appears, or is there when the screen comes back, shows whole at every size
// without the page moving.
TEST(StagedBuildView, AnImportMessageShowsWithoutMovingThePage) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    const QString gif = screen.folder.write(u"screen.gif"_qs, "GIF89a");
    for (const QSize size : screenSizes) {
        SCOPED_TRACE(size.width());
        screen.model().setImportMessage(std::nullopt);
        screen.view.resize(size);
        screen.settleMessage();
        screen.model().setScreenshot(gif, ScreenshotPrompt::restore);
        screen.settleMessage();
        const auto* line = screen.view.reviewScreens()->importMessage();
        ASSERT_GT(line->height(), 0);
        EXPECT_EQ(shownRect(*line, screen.view).size(), line->size());
        expectPageAtItsTop(screen.view);

        // A failed scan leaves its message, here one naming a long path, for the staged
        // build screen that follows; it wraps inside the column.
        const QString failure = u"The build could not be read: /home/someone/Projects/"
                                u"a-rather-long-project-folder-name/build/Products/Release-"
                                u"iphoneos/Hemoguia.app/Frameworks/Kit.framework/Kit"_qs;
        screen.model().setImportMessage(failure);
        // Without motion the line opens before the screen has its width.
        design::MotionPreferences::instance().overrideReduceMotion(true);
        StagedBuildView next(screen.model());
        next.resize(size);
        next.show();
        bw::test::settle();
        const auto* nextLine = next.reviewScreens()->importMessage();
        ASSERT_TRUE(bw::test::waitFor([&] { return nextLine->isSettled(); }));
        bw::test::settle();
        ASSERT_GT(nextLine->height(), 0);
        EXPECT_EQ(shownRect(*nextLine, next).size(), nextLine->size());
        expectPageAtItsTop(next);
        EXPECT_EQ(bw::test::textFaults(next), std::vector<QString>());
        design::MotionPreferences::instance().overrideReduceMotion(std::nullopt);
    }
}

// How `widget` shows on `screen`: "out of view", cut, "clear" (as bright as it draws itself, its
// brightest point no more than 8 darker) or "whole" but dimmed by a faded edge.
QString howItShows(QWidget& widget, QWidget& screen) {
    const QRect shown = shownRect(widget, screen);
    if (shown.isEmpty()) {
        return u"out of view"_s;
    }
    if (shown.size() != widget.size()) {
        return u"cut to %1 of %2 high"_s.arg(shown.height()).arg(widget.height());
    }
    const auto [own, onScreen] = brightestPoint(widget, screen, 1);
    return onScreen >= own - 8 ? u"clear"_s : u"whole"_s;
}

// The icon, the name, its status and the section's heading each show in one of the `acceptable`
// ways, and the message line in one of `messageShows`, if given.
void expectHeadingsAndMessageShow(StagedBuildView& view, const QString& name, const QString& status,
                                  const QStringList& acceptable,
                                  const QStringList& messageShows = {}) {
    std::vector<std::pair<QString, QWidget*>> parts{{u"icon"_s, view.findChild<StagedAppIcon*>()}};
    for (const QString& text : {name, status, u"Add review screens"_s}) {
        for (QWidget* widget : StagedScreen::textsShowingIn(view, text)) {
            parts.emplace_back(text, widget);
        }
    }
    EXPECT_EQ(parts.size(), 4u);
    for (const auto& [part, widget] : parts) {
        const QString shows = howItShows(*widget, view);
        EXPECT_TRUE(acceptable.contains(shows))
            << part.toStdString() << ": " << shows.toStdString();
    }
    if (!messageShows.isEmpty()) {
        const QString shows = howItShows(*view.reviewScreens()->importMessage(), view);
        EXPECT_TRUE(messageShows.contains(shows)) << "message: " << shows.toStdString();
    }
}

// A cancelled or failed scan leaves its message for the staged screen that follows: it shows
// clear, and so do the build's icon, name, status and the section's heading; and a new build
// starts at the top of the page.
TEST(StagedBuildView, AMessageOrANewBuildComesIntoViewWithItsHeadingsClear) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    const QString name = screen.model().staged()->preview->appName;
    const QString failure = u"The build could not be read: /home/someone/Projects/a-rather-long-"
                            u"project-folder-name/build/Products/Release-iphoneos/Hemoguia.app"_s;
    for (const QSize size : {screenSizes[0], screenSizes[2]}) {
        SCOPED_TRACE(size.width());
        for (const QString& message : {u"Scan cancelled."_s, failure}) {
            SCOPED_TRACE(message.toStdString());
            screen.model().setImportMessage(message);
            StagedBuildView next(screen.model());
            next.resize(size);
            next.show();
            ASSERT_TRUE(bw::test::waitFor([&] {
                // The faded edges stay; the entrances go.
                return next.reviewScreens()->importMessage()->isSettled() &&
                       std::ranges::all_of(next.findChildren<QGraphicsEffect*>(), [](auto* e) {
                           return qobject_cast<QGraphicsOpacityEffect*>(e) != nullptr;
                       });
            }));
            bw::test::settle();
            expectHeadingsAndMessageShow(next, name, u"Ready to scan"_s, {u"clear"_s},
                                         {u"clear"_s});
        }
        // The page scrolled to its end when another build is dropped.
        screen.model().setImportMessage(std::nullopt);
        screen.view.resize(size);
        screen.settleMessage();
        QScrollBar* page = screen.view.findChild<QScrollArea*>()->verticalScrollBar();
        page->triggerAction(QAbstractSlider::SliderToMaximum);
        ASSERT_EQ(page->value() > 0, size == screenSizes[0]);
        screen.stage(screen.folder.write(u"Broken.ipa"_s, "not a zip archive"));
        screen.settleMessage();
        expectHeadingsAndMessageShow(screen.view, u"Broken.ipa"_s, u"Preview unavailable"_s,
                                     {u"clear"_s});
        screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    }
}

// Slots or a page cut by the edge of the view fade out there, the sign that the view scrolls;
// shift and the wheel move the slots sideways.
TEST(StagedBuildView, ContentBeyondAnEdgeFadesOutThere) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    const struct {
        QSize size;
        bool explained;
        bool slotsGoOn;
        bool pageGoesOn;
    } cases[] = {
        {{712, 600}, false, true, true},
        {{872, 720}, true, true, true}, // the explanation pushes the phones down
        {{1152, 860}, false, false, false},
    };
    const ReviewScreensSection& section = *screen.view.reviewScreens();
    for (const auto& item : cases) {
        SCOPED_TRACE(item.size.width());
        if (section.isStoreImageHelpPresented() != item.explained) {
            screen.button(u"About App Store images"_qs)->click();
        }
        screen.view.resize(item.size);
        // The fade reaches only its own length into the view: a phone well inside shows as
        // bright as it draws itself once the screen's motions have settled (the explanation
        // opening or closing too), however long a busy machine takes to get there.
        const auto phoneShowsWhole = [&] {
            const auto [own, shown] =
                brightestPoint(*screen.slot(ScreenshotPrompt::permissions), screen.view);
            return shown >= own - 8;
        };
        bw::test::waitFor(
            [&] {
                return phoneShowsWhole() && section.slotRowFade().fadesEnd() == item.slotsGoOn &&
                       screen.view.pageFade().fadesEnd() == item.pageGoesOn;
            },
            10);
        EXPECT_TRUE(phoneShowsWhole());
        EXPECT_FALSE(section.slotRowFade().fadesStart());
        EXPECT_EQ(section.slotRowFade().fadesEnd(), item.slotsGoOn);
        EXPECT_EQ(screen.view.pageFade().fadesEnd(), item.pageGoesOn);
        if (item.slotsGoOn) {
            // Whether the slots took the turn, or left it to the page around them.
            const auto turnWheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
                QWheelEvent wheel(QPointF(40, 40), QPointF(40, 40), {}, QPoint(0, delta),
                                  Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
                QApplication::sendEvent(screen.slotRow()->viewport(), &wheel);
                return wheel.isAccepted();
            };
            turnWheel(-480, Qt::ShiftModifier);
            EXPECT_TRUE(section.slotRowFade().fadesStart());
            // The wheel alone brings the slots back and out to the last one, then leaves the
            // turn to the page.
            turnWheel(480, Qt::NoModifier);
            EXPECT_FALSE(section.slotRowFade().fadesStart());
            turnWheel(-480, Qt::NoModifier);
            EXPECT_FALSE(section.slotRowFade().fadesEnd());
            EXPECT_FALSE(turnWheel(-480, Qt::NoModifier)) << "the slots at their end";
            screen.slotRow()->horizontalScrollBar()->setValue(0);
        }
    }
}

// What a locked slot refuses is the slot's own test; here the screen locks its slots.
TEST(StagedBuildView, WhileAScanRunsTheSlotsAndTheSwitchAreLocked) {
    StagedScreen screen;
    screen.view.setScanRequest([&] { screen.model().startScan(false); });
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    screen.button(u"Scan build"_qs)->click();
    // The scan holds at "Preparing report" until the minimum presentation has passed on the
    // test's clock, which does not move by itself.
    ASSERT_TRUE(bw::test::waitFor([&] { return screen.showsText(u"Preparing report"_qs); }, 120));
    EXPECT_TRUE(screen.showsText(u"99%"_qs));
    EXPECT_TRUE(screen.slot(ScreenshotPrompt::restore)->isLocked());
    EXPECT_FALSE(screen.view.findChild<AppStoreImagesControl*>()->isEnabled());
}

// What each kind of file shows in a slot is the slot's own test; here every slot of the screen
// takes a file by choosing and by dropping, refuses a GIF and empties on remove.
TEST(StagedBuildView, EverySlotTakesScreenshotsByChoosingAndDropping) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    const QString png = portraitPng(screen.folder);
    const QString jpeg = screen.folder.write(
        u"screen.JPEG"_qs, bw::test::jpegData(bw::test::quadrantImage({300, 650})));
    const QString gif = screen.folder.write(u"screen.gif"_qs, "GIF89a");
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
        // Dropping replaces; the GIF is refused, to its source too, and leaves the JPEG in place.
        ASSERT_TRUE(drop(jpeg));
        ASSERT_TRUE(bw::test::waitFor([&] { return slot->isThumbnailSettled(); }));
        EXPECT_TRUE(slot->showsScreenshot());
        EXPECT_FALSE(bw::test::dropFile(*slot, slot->phoneRect().center(), gif));
        ASSERT_TRUE(bw::test::waitFor([&] { return screen.model().importMessage().has_value(); }));
        EXPECT_EQ(slotFile(prompt), jpeg);
        EXPECT_TRUE(screen.showsText(u"Use PNG, JPEG, or HEIC screenshots."_qs));
        // A file taken afterwards clears the refusal.
        ASSERT_TRUE(drop(png));
        EXPECT_TRUE(bw::test::waitFor(
            [&] { return !screen.showsText(u"Use PNG, JPEG, or HEIC screenshots."_qs); }));

        slot->findChild<CenteredRemoveButton*>()->click();
        EXPECT_EQ(slotFile(prompt), QString());
        EXPECT_FALSE(slot->isFilled());
    }
}

// Each phone is a Tab stop with a ring: Space or Return on an empty one opens the panel for its
// area; a filled one shows its remove button while the keyboard is on it, and Delete or
// Backspace empties it.
TEST(StagedBuildView, EveryPhoneTakesAndGivesUpItsScreenshotByKeyboard) {
    StagedScreen screen;
    screen.stage(Workspace::fixtureBuild("Clean.ipa"));
    screen.view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen.view));
    screen.chooser.answer = portraitPng(screen.folder);
    const auto focused = [] { return QApplication::focusWidget(); };
    const auto prompts = allCases<ScreenshotPrompt>();
    // The first phone is reached as a user does, from the stop before it.
    IPhoneReviewSlot* first = screen.slot(prompts.front());
    QWidget* phone = first->childAt(first->phoneRect().center());
    while (!(phone->focusPolicy() & Qt::TabFocus) && phone->parentWidget()) {
        phone = phone->parentWidget();
    }
    phone->setFocus(Qt::BacktabFocusReason);
    QTest::keyClick(phone, Qt::Key_Backtab);
    QTest::keyClick(focused(), Qt::Key_Tab);
    for (std::size_t index = 0; index < prompts.size(); ++index) {
        const ScreenshotPrompt prompt = prompts[index];
        SCOPED_TRACE(rawValue(prompt).toStdString());
        IPhoneReviewSlot* slot = screen.slot(prompt);
        phone = focused();
        ASSERT_NE(phone, nullptr);
        ASSERT_EQ(phone->parentWidget(), slot);
        EXPECT_EQ(phone->accessibleName(), shortTitle(prompt) + u", not added"_s);
        EXPECT_TRUE(design::showsFocusRing(*phone));
        // The phone itself, clear of the slot's entrance.
        const QImage ringed = phone->grab().toImage();
        QTest::keyClick(phone, index % 2 ? Qt::Key_Return : Qt::Key_Space);
        ASSERT_EQ(screen.chooser.asked.size(), index + 1);
        ASSERT_TRUE(slot->isFilled());
        EXPECT_EQ(screen.model().screenshotSlots().at(prompt), *screen.chooser.answer);
        const auto* remove = slot->findChild<CenteredRemoveButton*>();
        ASSERT_NE(remove, nullptr);
        EXPECT_TRUE(remove->isVisible());

        QTest::keyClick(phone, index % 2 ? Qt::Key_Delete : Qt::Key_Backspace);
        EXPECT_FALSE(slot->isFilled());
        EXPECT_EQ(screen.model().screenshotSlots().count(prompt), 0u);
        EXPECT_FALSE(remove->isVisible());
        // The ring is drawn round the phone: without the focus the phone looks otherwise.
        phone->clearFocus();
        EXPECT_NE(phone->grab().toImage(), ringed);
        phone->setFocus(Qt::TabFocusReason);
        QTest::keyClick(phone, Qt::Key_Tab);
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
}

// A long file name and an error naming a long path are shortened and wrapped inside the column;
// they never widen the screen past the window.
TEST(StagedBuildView, AtTheWindowsMinimumWidthTheScreenIsCompact) {
    StagedScreen screen;
    // The window's least content (960 × 640) beside the widest sidebar (280).
    screen.view.resize(680, 640);
    screen.stage(screen.folder.write(
        u"A-build-whose-name-runs-on-and-on-and-on-without-any-space-at-all.ipa"_qs,
        "not an archive"));
    QTest::qWait(20);
    ASSERT_TRUE(screen.model().staged()->previewError);
    EXPECT_LE(screen.view.reviewScreens()->width(), screen.view.width() - 2 * 24);
    ASSERT_TRUE(screen.view.isCompact());
    EXPECT_TRUE(screen.view.reviewScreens()->isHeaderStacked());
    // Five slots do not fit: the row scrolls sideways.
    EXPECT_GT(screen.slotRow()->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(screen.showsText(u"Your build stays on this computer."_qs));
}

// Each metadata cell is as wide as its value where the column has room; the long bundle
// identifier is never cut while shorter cells stand half empty.
TEST(StagedBuildView, MetadataCellsShowTheirWholeValuesWhereTheColumnHasRoom) {
    StagedScreen screen;
    screen.stage(longIdentifierApp(screen.folder));
    ASSERT_EQ(screen.metadata()[u"Bundle ID"_qs], u"com.pixostudio.medical.hemoguia.companion"_qs);
    for (const QSize size : screenSizes) {
        SCOPED_TRACE(size.width());
        screen.view.resize(size);
        bw::test::settle();
        if (screen.view.isCompact()) {
            continue; // fixed cell widths in a row that scrolls sideways
        }
        for (const auto* cell : screen.view.findChildren<BuildMetadataItem*>()) {
            SCOPED_TRACE(cell->accessibleName().toStdString());
            EXPECT_EQ(cell->findChildren<QLabel*>().back()->text(), cell->value());
            EXPECT_EQ(shownRect(*cell, screen.view).size(), cell->size());
        }
    }
}

TEST(StagedPieces, MetadataCellsKeepNaturalWidthsAndTheLongestGivesWay) {
    const struct {
        std::vector<int> natural;
        int available;
        std::vector<int> widths;
    } cases[] = {
        {{270, 70, 60, 50}, 800, {270, 70, 60, 50}},   // room for all
        {{270, 70, 60, 50}, 450, {270, 70, 60, 50}},   // exactly
        {{270, 70, 60, 50}, 300, {120, 70, 60, 50}},   // only the longest gives way
        {{270, 200, 60, 50}, 330, {110, 110, 60, 50}}, // the two longest share what is left
        {{270, 70, 60, 50}, 100, {25, 25, 25, 25}},    // all cut to one width
        {{270, 70}, -10, {0, 0}},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(fittedWidths(item.natural, item.available), item.widths);
    }
}

TEST(StagedPieces, MetadataCellsFollowWhatThePreviewKnows) {
    StagedBuild staged{QUuid::createUuid(), u"Tool.app"_qs, u"/builds/Tool.app"_qs, {}, {}, {}};
    staged.preview = StagedBuildPreview{
        {u"Tool"_qs, u"com.example.tool"_qs, u"2.1"_qs, u"40"_qs, u"macOS"_qs, u"13.0"_qs},
        {},
        u"iPhone, iPad"_qs,
        1'500'000};
    EXPECT_EQ(bw::test::fieldOf(metadataItems(staged, true),
                                [](const auto& item) { return item.title + u'=' + item.value; }),
              (std::vector<QString>{u"Bundle ID=com.example.tool"_qs, u"Version=2.1 (40)"_qs,
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

// The plane of "Scan build" lifts off under the pointer and its trail shows, also while the
// button is disabled (a failed preview); it lands again when the pointer leaves.
TEST(StagedPieces, ThePlaneLiftsUnderThePointerAlsoOnADisabledButton) {
    // Whitened pixels of the two rows the trail is drawn across, between the capsule's rounded
    // end and the title.
    const auto trailPixels = [](StagedPrimaryButton& button) {
        const QImage image = button.grab().toImage();
        int lit = 0;
        for (int x = image.height() / 2; x < image.width() / 2; ++x) {
            const int y = image.height() / 2 + 4;
            lit += std::max(image.pixelColor(x, y).red(), image.pixelColor(x, y + 1).red()) > 60;
        }
        return lit;
    };
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        QWidget window;
        window.resize(300, 100);
        auto* button = new StagedPrimaryButton(u"Scan build"_qs, {}, true, &window);
        button->move(40, 30);
        button->resize(button->sizeHint());
        button->setEnabled(enabled);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::mouseMove(&window, {5, 5});
        // A foot of the title's first letters may reach the upper row; the trail is 19 long.
        EXPECT_LE(trailPixels(*button), 2);
        QTest::mouseMove(button, button->rect().center());
        EXPECT_TRUE(bw::test::waitFor([&] { return trailPixels(*button) >= 12; }, 5));
        QTest::mouseMove(&window, {5, 5});
        EXPECT_TRUE(bw::test::waitFor([&] { return trailPixels(*button) <= 2; }, 5));
    }
}

TEST(ReviewSlotTest, ThumbnailsAreReadOffTheMainThreadAndUnreadableFilesShowThePlaceholder) {
    bw::test::TestFolder folder;
    const std::pair<QString, bool> cases[] = {
        {portraitPng(folder), true},
        {folder.write(u"shot.heic"_s,
                      bw::test::heicData(bw::test::quadrantImage({600, 1300}), false)),
         true},
        {folder.makeFifo(u"pipe.png"_s), false}, // named like an image
        {folder.write(u"huge.png"_s, bw::test::blankPng({20000, 20000})), false}, // past the limit
        {folder.path() + u"/gone.png"_s, false},
    };
    for (const auto& [path, showsScreenshot] : cases) {
        SCOPED_TRACE(path.toStdString());
        IPhoneReviewSlot slot(ScreenshotPrompt::signIn);
        slot.setSlotWidth(188);
        QElapsedTimer call;
        call.start();
        slot.setUrl(path);
        EXPECT_LT(call.elapsed(), 100); // the read happens elsewhere
        ASSERT_TRUE(bw::test::waitFor([&] { return slot.isThumbnailSettled(); }));
        EXPECT_EQ(slot.showsScreenshot(), showsScreenshot);
        // The caption follows the file, not the image.
        EXPECT_EQ(slot.accessibleName(), u"Sign in, screenshot added"_s);
        if (showsScreenshot) {
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

// A locked slot refuses clicks and drops; a filled one is not locked and can still be emptied.
TEST(ReviewSlotTest, WhileScanningEmptySlotsAreLockedAndNoSlotTakesDrops) {
    IPhoneReviewSlot slot(ScreenshotPrompt::accountDeletion);
    QSignalSpy chosen(&slot, &IPhoneReviewSlot::chooseRequested);
    QSignalSpy removed(&slot, &IPhoneReviewSlot::removeRequested);
    QSignalSpy dropped(&slot, &IPhoneReviewSlot::fileDropped);
    slot.setSlotWidth(160);
    slot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slot));
    bw::test::TestFolder folder;
    const QString png = portraitPng(folder);
    const QPoint centre = slot.phoneRect().center();
    slot.setInputDisabled(true);
    EXPECT_TRUE(slot.isLocked());
    // The phone's upper part, clear of the remove button, as the window system would click it.
    const QPoint upper = centre - QPoint(0, slot.phoneRect().height() / 4);
    QWidget* leaf = slot.childAt(upper);
    QTest::mouseClick(leaf, Qt::LeftButton, {}, leaf->mapFrom(&slot, upper));
    EXPECT_FALSE(bw::test::dropFile(slot, centre, png));

    slot.setUrl(png);
    EXPECT_FALSE(slot.isLocked());
    EXPECT_FALSE(bw::test::dropFile(slot, centre, png));
    QWidget* phone = slot.childAt(centre);
    while (phone->parentWidget() != &slot) {
        phone = phone->parentWidget();
    }
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(phone, &enter);
    slot.findChild<CenteredRemoveButton*>()->click();
    bw::test::waitFor([] { return false; }, 0.05);
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(dropped.count(), 0);
    EXPECT_EQ(removed.count(), 1);
}
