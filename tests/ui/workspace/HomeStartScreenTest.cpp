#include "ui/workspace/HomeStartScreen.h"

#include "app/AppModel.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/workspace/WorkspaceFixture.h"
#include "ui/design/Motion.h"
#include "ui/workspace/DropZoneCard.h"
#include "ui/workspace/FileChooser.h"
#include "ui/workspace/HomeView.h"
#include "ui/workspace/MorphingTitle.h"
#include "ui/workspace/RejectionNotice.h"
#include "ui/workspace/StagedBuildView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace bw;
using namespace bw::workspace;
using namespace bw::workspace::test;
using design::BerthwatchRunwayState;

namespace {

struct StartScreen : Workspace {
    HomeView home{model(), chooser, links()};

    explicit StartScreen(const QStringList& arguments = {u"berthwatch"_qs}) : Workspace(arguments) {
        home.resize(1120, 760);
        home.show();
    }

    HomeStartScreen* screen() const { return qobject_cast<HomeStartScreen*>(home.stageWidget()); }
    DropZoneCard* card() const { return screen()->findChild<DropZoneCard*>(); }
    RejectionNotice* notice() const { return screen()->findChild<RejectionNotice*>(); }
};

// Whether the card moves sideways from where it rests. The shake's first swing holds until the
// test's clock moves on, however late a loaded machine draws it; a card kept still never moves.
bool isShaken(const DropZoneCard& card) {
    return QTest::qWaitFor([&] { return card.x() != 0; }, 1000);
}

// Answers the modal dialog once it is up, as a user would: types `path` and presses Open, or with
// `doubleClick` double-clicks the item in its folder; cancels once that has not closed it.
void answerDialog(QTimer& timer, const QString& path, bool doubleClick = false) {
    // The dialog reads its folder in the background: give it a few turns first.
    QObject::connect(&timer, &QTimer::timeout, &timer, [path, doubleClick, ticks = 0]() mutable {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            return;
        }
        ++ticks;
        if (ticks == 5 && doubleClick) {
            dialog->setDirectory(QFileInfo(path).absolutePath());
        } else if (ticks == 5) {
            dialog->findChild<QLineEdit*>(u"fileNameEdit"_qs)->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (ticks == 10 && doubleClick) {
            const auto* files = dialog->findChild<QFileSystemModel*>();
            for (auto* view : dialog->findChildren<QAbstractItemView*>()) {
                if (view->isVisible() && view->model() == files) {
                    const QPoint item = view->visualRect(files->index(path)).center();
                    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, item);
                    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, item);
                    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, item);
                    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, item);
                }
            }
        } else if (ticks == 15) {
            dialog->reject();
        }
    });
    timer.start(20);
}

// How strongly the notice is drawn, 0 to 1: the opacity of its capsule's fill (the opacity most
// of its pixels have) against the fill's own 0.88.
double noticeStrength(RejectionNotice& notice) {
    const QImage image = bw::test::drawnAlone(notice);
    std::map<int, int> alphas;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (const int alpha = qAlpha(image.pixel(x, y)); alpha > 0) {
                ++alphas[alpha];
            }
        }
    }
    if (alphas.empty()) {
        return 0;
    }
    const auto most = std::ranges::max_element(
        alphas, [](const auto& a, const auto& b) { return a.second < b.second; });
    return most->first / (0.88 * 255);
}

} // namespace

TEST(HomeStartScreen, RefusedFilesShowTheirNoticeUntilTheLastRefusalHasAged) {
    StartScreen start;
    const QString notes = start.folder.write(u"notes.txt"_qs, {});
    const QString payload = start.folder.makeFolder(u"Payload"_qs);

    start.screen()->openBuild(payload);
    EXPECT_EQ(start.notice()->text(), u"Unsupported file type"_qs);
    EXPECT_EQ(start.screen()->runwayState(), BerthwatchRunwayState::rejected);

    // The same file again: each refusal replays the shake and the notice; with reduce motion
    // the card stays still.
    for (int refusal = 1; refusal <= 3; ++refusal) {
        const bool reduceMotion = refusal == 2;
        design::MotionPreferences::instance().overrideReduceMotion(reduceMotion);
        start.clock.advance(seconds(1));
        start.screen()->openBuild(notes);
        EXPECT_EQ(start.model().importRejectionCount(), refusal + 1);
        EXPECT_EQ(start.notice()->text(), u"Unsupported file type .txt"_qs);
        EXPECT_EQ(isShaken(*start.card()), !reduceMotion);
    }
    EXPECT_FALSE(start.model().staged());

    // Cleared 4.2 s after the shake of the last refusal, not after the earlier ones.
    start.clock.advance(seconds(4.2));
    EXPECT_TRUE(start.model().importRejection());
    start.clock.advance(seconds(0.2));
    EXPECT_FALSE(start.model().importRejection());
    EXPECT_EQ(start.notice()->text(), QString());
    EXPECT_EQ(start.screen()->runwayState(), BerthwatchRunwayState::idle);
}

// After a refusal, a drag over the window clears the notice at once, and a message set later
// outlives the refusal.
TEST(HomeStartScreen, ADragOverTheWindowClearsTheNoticeAndALaterMessageOutlivesIt) {
    StartScreen start;
    const QString notes = start.folder.write(u"notes.txt"_qs, {});
    start.screen()->openBuild(notes);
    start.model().setBuildDropTargeted(true);
    EXPECT_FALSE(start.model().importRejection());
    EXPECT_EQ(start.screen()->runwayState(), BerthwatchRunwayState::targeted);
    // The title says so at once, while its words morph into the new ones.
    EXPECT_EQ(start.card()->title(), u"Release to check your build"_qs);
    EXPECT_TRUE(start.card()->findChild<MorphingTitle*>()->isMorphing());
    start.model().setBuildDropTargeted(false);
    EXPECT_EQ(start.card()->title(), u"Drop your build anywhere"_qs);

    start.screen()->openBuild(notes);
    start.model().setScreenshot(start.folder.write(u"shot.gif"_qs, {}), ScreenshotPrompt::paywall);
    const auto message = start.model().importMessage();
    ASSERT_TRUE(message);
    start.clock.advance(seconds(5));
    EXPECT_FALSE(start.model().importRejection());
    EXPECT_EQ(start.model().importMessage(), message);
    EXPECT_EQ(start.notice()->text(), *message);
}

// The notice goes inside a spring, also under reduce motion: of 0.32 s when it has aged, of
// 0.28 s when a drag over the window takes it away. It is drawn fading, and not gone before the
// spring has brought it below what the eye sees: 0.37 s and 0.32 s (a motion never runs ahead of
// the clock, so a loaded machine only makes it later).
TEST(HomeStartScreen, TheNoticeGoesWithItsSpringAlsoUnderReduceMotion) {
    const struct {
        bool reduceMotion;
        bool dragged;
        double response;
    } cases[] = {{false, false, 0.32}, {true, false, 0.32}, {true, true, 0.28}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.reduceMotion ? "reduce motion, " : "") +
                     (c.dragged ? "dragged" : "aged"));
        design::MotionPreferences::instance().overrideReduceMotion(c.reduceMotion);
        StartScreen start;
        start.screen()->openBuild(start.folder.write(u"notes.zip"_qs, {}));
        ASSERT_TRUE(bw::test::waitFor([&] { return noticeStrength(*start.notice()) > 0.99; }, 5));

        QElapsedTimer sinceCleared;
        sinceCleared.start();
        if (c.dragged) {
            start.model().setBuildDropTargeted(true);
        } else {
            start.clock.advance(seconds(4.4));
        }
        ASSERT_FALSE(start.model().importRejection());
        bool fading = false;
        EXPECT_TRUE(bw::test::waitFor(
            [&] {
                const double strength = noticeStrength(*start.notice());
                fading = fading || (strength > 0 && strength < 0.9);
                return strength == 0;
            },
            5));
        EXPECT_TRUE(fading);
        // Drawn until the fill's opacity falls below 1/255: (1 + u)e^-u < 0.0045 at u = 7.3. The
        // fill is not opaque, so its last pixels round away a little before that (seen 4% early);
        // a spring of 0.28 s instead of 0.32 s would still end 12% early.
        EXPECT_GE(sinceCleared.elapsed(), 0.92 * 7.3 * c.response / (2 * M_PI) * 1000);
    }
    design::MotionPreferences::instance().overrideReduceMotion(std::nullopt);
}

TEST(HomeStartScreen, AnAcceptedBuildDuringAScanShowsNothingNew) {
    Workspace workspace;
    workspace.stage(Workspace::fixtureBuild("Clean.ipa"));
    const auto staged = workspace.model().staged();
    workspace.model().startScan(false);
    ASSERT_TRUE(workspace.model().scanPhase().isBusy());

    // The start screen on its own, as the window's content might still show it.
    HomeStartScreen screen(workspace.model(), workspace.chooser);
    screen.openBuild(Workspace::fixtureBuild("Debug.ipa"));
    workspace.clock.advance(seconds(0.4));
    EXPECT_EQ(workspace.model().staged()->id, staged->id);
    EXPECT_FALSE(workspace.model().isBuildImportLaunching());
    EXPECT_EQ(workspace.model().importRejectionCount(), 0);
    workspace.model().cancelScan();
    workspace.runUntil([&] { return !workspace.model().isScanRunning(); }, 60);
}

TEST(HomeStartScreen, TheRunwaysPlaneAndGlowAreWholeInEveryLitState) {
    design::MotionPreferences::instance().overrideReduceMotion(true);
    StartScreen start;
    for (const int height : {760, 640}) { // the full card and the compact one
        start.home.resize(1120, height);
        QApplication::processEvents();
        const design::BerthwatchRunwayMark* runway = start.card()->runway();
        for (const auto state : {BerthwatchRunwayState::targeted, BerthwatchRunwayState::launching,
                                 BerthwatchRunwayState::rejected}) {
            start.card()->setRunwayState(state);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !runway->isAnimating(); }));
            const QRect ink = runway->inkRect().toAlignedRect();
            EXPECT_EQ(QRegion(ink) - runway->visibleRegion(), QRegion())
                << height << " high, state " << int(state);
        }
    }
}

// The open panel chooses through the replaceable chooser; a build it accepts launches (the card
// locked, a second build ignored), then shows as the staged build.
TEST(HomeStartScreen, AnAcceptedBuildLaunchesThenShowsTheStagedBuild) {
    StartScreen start;
    // The room the runway's drawing takes above the card is no part of the button.
    QTest::mouseClick(start.card(), Qt::LeftButton, {}, QPoint(start.card()->width() / 2, 2));
    EXPECT_TRUE(start.chooser.asked.empty());
    QTest::mouseClick(start.card(), Qt::LeftButton);
    ASSERT_EQ(start.chooser.asked.size(), 1u);
    EXPECT_EQ(start.chooser.asked[0].bundleExtensions, QStringList({"xcarchive", "app"}));
    EXPECT_FALSE(start.model().isBuildImportLaunching());

    start.chooser.answer = Workspace::fixtureBuild("Debug.xcarchive");
    start.model().setBuildDropTargeted(true);
    QTest::mouseClick(start.card(), Qt::LeftButton);
    EXPECT_TRUE(start.model().isBuildImportLaunching());
    EXPECT_FALSE(start.model().isBuildDropTargeted());
    EXPECT_EQ(start.screen()->runwayState(), BerthwatchRunwayState::launching);
    EXPECT_FALSE(start.card()->isEnabled());
    start.screen()->openBuild(Workspace::fixtureBuild("Clean.ipa"));
    EXPECT_FALSE(start.model().staged());

    start.clock.advance(seconds(0.4));
    ASSERT_TRUE(start.model().staged());
    EXPECT_EQ(start.model().staged()->fileName, u"Debug.xcarchive"_qs);
    EXPECT_FALSE(start.model().isBuildImportLaunching());
    EXPECT_EQ(start.home.stage(), HomeView::Stage::staged);
    EXPECT_TRUE(qobject_cast<StagedBuildView*>(start.home.stageWidget()));
}

// The start screen is replaced while its open panel is up (a build staged meanwhile): the panel
// belongs to the window, the screen goes once the panel has closed, and the build chosen then
// launches all the same.
TEST(HomeStartScreen, AScreenReplacedUnderItsOpenPanelGoesOnceThePanelHasClosed) {
    Workspace workspace;
    DialogFileChooser dialogs;
    HomeView home{workspace.model(), dialogs, Workspace::links()};
    home.show();
    const QPointer<HomeStartScreen> screen = qobject_cast<HomeStartScreen*>(home.stageWidget());
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&, ticks = 0]() mutable {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            return;
        }
        if (++ticks == 1) {
            EXPECT_EQ(dialog->parentWidget(), &home);
            workspace.stage(Workspace::fixtureBuild("Clean.ipa"));
        } else if (ticks == 5) { // the replaced screen's deletion has had its turns
            EXPECT_TRUE(screen);
            dialog->findChild<QLineEdit*>(u"fileNameEdit"_qs)
                ->setText(Workspace::fixtureBuild("Debug.xcarchive"));
            QMetaObject::invokeMethod(dialog, "accept");
        }
    });
    timer.start(20);
    screen->chooseBuild();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(screen);
    workspace.clock.advance(seconds(0.4));
    ASSERT_TRUE(workspace.model().staged());
    EXPECT_EQ(workspace.model().staged()->fileName, u"Debug.xcarchive"_qs);
}

// The drop scene blinks the highlight until the screen goes: staged while the highlight is on,
// the sequence ends and leaves it on. Without the scene the highlight is left alone.
TEST(HomeStartScreen, TheDropDemonstrationBlinksTheHighlightUntilTheScreenGoes) {
    for (const bool scene : {true, false}) {
        SCOPED_TRACE(scene ? "drop scene" : "no scene");
        StartScreen start(scene ? QStringList{u"berthwatch"_qs, u"--marketing-scene=drop"_qs}
                                : QStringList{u"berthwatch"_qs});
        start.clock.advance(seconds(1.5));
        EXPECT_EQ(start.model().isBuildDropTargeted(), scene);
        start.model().importBuild(Workspace::fixtureBuild("Clean.ipa"));
        EXPECT_EQ(start.home.stage(), HomeView::Stage::staged);
        start.clock.advance(seconds(10));
        EXPECT_EQ(start.model().isBuildDropTargeted(), scene);
    }
}

TEST(RejectionNotice, ShowsTheExtensionTrimmedOfDotsInLowerCase) {
    const std::pair<const char*, const char*> cases[] = {{"..Tar.GZ.", ".tar.gz"}, {"...", ""}};
    for (const auto& [extension, shown] : cases) {
        EXPECT_EQ(shownExtension(QString::fromUtf8(extension)), QString::fromUtf8(shown))
            << extension;
    }
}

TEST(FileChooser, TheDialogTakesBundleFoldersAsOneItemAndEntersOthers) {
    bw::test::TestFolder folder;
    const QString root = QString::fromStdString(folder.fsPath().string());
    for (const char* name : {"Build.app", "Build.XCArchive", "Payload"}) {
        QDir(root).mkpath(QString::fromUtf8(name) + u"/Contents"_qs);
    }
    QFile(root + u"/App.ipa"_qs).open(QIODevice::WriteOnly);
    const FileChoice choice{u"Choose a build"_qs,
                            {u"Builds (*.ipa *.xcarchive *.app)"_qs},
                            {u"xcarchive"_qs, u"app"_qs}};
    const struct {
        const char* name;
        bool doubleClicked;
        bool chosen;
    } cases[] = {{"Build.app", false, true}, {"Build.XCArchive", false, true},
                 {"App.ipa", false, true},   {"Payload", false, false},
                 {"Build.app", true, true},  {"Payload", true, false},
                 {"App.ipa", true, true}};
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.name) + (test.doubleClicked ? ", double-clicked" : ""));
        QTimer timer;
        answerDialog(timer, root + u'/' + QString::fromUtf8(test.name), test.doubleClicked);
        DialogFileChooser chooser;
        const auto chosen = chooser.chooseFile(nullptr, choice);
        if (test.chosen) {
            EXPECT_EQ(chosen, root + u'/' + QString::fromUtf8(test.name));
            // Opened again, it stands in the folder that holds the pick, not inside it.
            EXPECT_EQ(QFileDialog().directory().absolutePath(), root);
        } else {
            EXPECT_FALSE(chosen);
        }
    }
}
