#include "app/AppModel.h"
#include "app/Program.h"
#include "app/UpdateController.h"
#include "platform/instance/SingleInstance.h"
#include "services/info/ApplicationInfo.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SilentPresenter.h"
#include "tests/support/TestFolder.h"
#include "tests/ui/window/WindowHarness.h"
#include "ui/design/AboutDialog.h"
#include "ui/design/ConfirmationDialog.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Motion.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarAppActionMenu.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/window/SidebarDestinationButton.h"
#include "ui/window/SidebarResizeHandle.h"
#include "ui/window/SidebarRowButton.h"
#include "ui/window/SidebarSelectionHighlight.h"
#include "ui/window/SidebarWidth.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;

using bw::test::answerConfirmation;
using bw::test::dragAndDrop;
using bw::test::dropFile;
using bw::test::movePointer;
using bw::test::openConfirmation;
using bw::test::settle;
using bw::test::waitFor;

constexpr auto launchWait = std::chrono::milliseconds(360);

QPoint centreIn(QWidget& window, QWidget* part) {
    return part->mapTo(&window, part->rect().center());
}

class WindowTest : public ::testing::Test {
protected:
    AppModel& model() { return window.model(); }
    QWidget& mainWindow() { return *window.window; }
    BerthwatchSidebar& sidebar() { return *window.root().sidebar(); }

    // Stages the clean fixture build and starts its scan; the scan stays busy until the clock
    // passes the minimum presentation.
    void startScan() {
        window.harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
        model().startScan(false);
        ASSERT_TRUE(model().scanPhase().isBusy());
    }
    void finishScan() {
        ASSERT_TRUE(bw::test::waitFor([this] {
            window.harness.clock.advance(std::chrono::seconds(1));
            return !model().scanPhase().isBusy();
        }));
    }

    test::WindowHarness window;
};

TEST_F(WindowTest, ABuildDroppedOnAnyPartOfTheWindowIsStagedAfterItsLaunch) {
    const QString build = bw::test::fixtureBuild(u"Clean.ipa"_s);
    const std::pair<const char*, QWidget*> parts[] = {
        {"Scan destination", sidebar().destination(AppSection::scan)},
        {"sidebar", &sidebar()},
        {"resize handle", window.root().resizeHandle()},
        {"content area", window.root().contentArea()},
        {"text field of the screen", window.root().screen()->findChild<QLineEdit*>()},
        {"toolbar", window.root().childAt(QPoint(400, 10))},
    };
    for (const auto& [name, part] : parts) {
        SCOPED_TRACE(name);
        ASSERT_NE(part, nullptr);
        model().clearStagedBuild();
        EXPECT_TRUE(dropFile(mainWindow(), centreIn(mainWindow(), part), build));
        EXPECT_FALSE(model().isBuildDropTargeted());
        EXPECT_TRUE(model().isBuildImportLaunching());
        EXPECT_FALSE(model().staged().has_value());
        window.harness.clock.advance(launchWait);
        EXPECT_FALSE(model().isBuildImportLaunching());
        ASSERT_TRUE(model().staged().has_value());
        EXPECT_EQ(model().staged()->path, build);
    }
}

TEST_F(WindowTest, DropsTheWindowCannotUseAreRefusedWhenReleased) {
    const QPoint point = centreIn(mainWindow(), window.root().contentArea());
    QMimeData text;
    text.setText(u"/builds/Clean.ipa"_s);
    QMimeData web;
    web.setUrls({QUrl(u"https://example.com/Clean.ipa"_s)});
    for (const QMimeData* data : {&text, &web}) {
        const bw::test::DropOutcome outcome = dragAndDrop(mainWindow(), point, *data);
        EXPECT_FALSE(outcome.entered);
        EXPECT_FALSE(outcome.dropped);
    }
    EXPECT_EQ(model().importRejectionCount(), 0);
    EXPECT_FALSE(model().isBuildImportLaunching());

    // A second build during the first one's launch is refused; a file of another kind still
    // reaches the model at once, which refuses it visibly.
    const QString first = bw::test::fixtureBuild(u"Clean.ipa"_s);
    EXPECT_TRUE(dropFile(mainWindow(), point, first));
    EXPECT_FALSE(dropFile(mainWindow(), point, bw::test::fixtureBuild(u"Debug.ipa"_s)));
    EXPECT_TRUE(dropFile(mainWindow(), point, u"/tmp/notes.txt"_s));
    EXPECT_EQ(model().importRejectionCount(), 1);
    window.harness.clock.advance(launchWait);
    ASSERT_TRUE(model().staged().has_value());
    EXPECT_EQ(model().staged()->path, first);
}

// A history longer than a screen: the first frame waits only for the rows a screen can show,
// the rest follow it; a scan disables every row, those out of sight too, and its end enables
// them all, each able to repaint.
TEST_F(WindowTest, WhileAScanRunsDropsRowsRightClicksAndNewScanAreRefused) {
    window.relaunch(bw::test::sampleHistory(80, false));
    ASSERT_EQ(sidebar().appRows().size(), 80u);
    const auto rowsAre = [this](bool enabled) {
        return std::ranges::all_of(sidebar().appRows(), [enabled](SidebarAppButton* row) {
            return row->isEnabled() == enabled && row->updatesEnabled();
        });
    };
    EXPECT_TRUE(window.window->newScanAction()->isEnabled());
    startScan();
    EXPECT_TRUE(rowsAre(false));

    EXPECT_FALSE(window.window->newScanAction()->isEnabled());
    EXPECT_FALSE(dropFile(mainWindow(), centreIn(mainWindow(), &sidebar()),
                          bw::test::fixtureBuild(u"Debug.ipa"_s)));
    EXPECT_FALSE(model().isBuildImportLaunching());
    EXPECT_EQ(model().importRejectionCount(), 0);

    SidebarAppButton* row = sidebar().appRows().front();
    QTest::mouseClick(row, Qt::RightButton, {}, row->rect().center());
    settle();
    EXPECT_FALSE(row->isActionMenuPresented());
    QTest::mouseClick(sidebar().destination(AppSection::settings), Qt::LeftButton);
    EXPECT_EQ(model().section(), AppSection::scan);
    // Opening a report from anywhere would replace the screen and the phase mid-scan.
    model().openReport(model().reports().front());
    EXPECT_FALSE(model().report().has_value());
    EXPECT_TRUE(model().scanPhase().isBusy());

    finishScan();
    EXPECT_TRUE(window.window->newScanAction()->isEnabled());
    EXPECT_TRUE(rowsAre(true));
}

// Rows are disabled while a scan runs, and hover as before.
TEST_F(WindowTest, WhileAScanRunsTheRowUnderThePointerStaysLit) {
    window.relaunch({bw::test::sampleReport(1)});
    const std::pair<const char*, std::function<SidebarRowButton*()>> rows[] = {
        {"app", [this] { return sidebar().appRows().front(); }},
        {"Reports", [this] { return sidebar().destination(AppSection::recents); }}};
    for (const auto& [name, rowNow] : rows) {
        SCOPED_TRACE(name);
        SidebarRowButton* row = rowNow();
        movePointer(row->mapToGlobal(row->rect().center()));
        ASSERT_TRUE(waitFor([row] { return row->hoverProgress() == 1; }));
        startScan();
        ASSERT_FALSE(row->isEnabled());
        EXPECT_FALSE(
            waitFor([row] { return !row->isHovering() || row->hoverProgress() < 1; }, 0.5));
        finishScan();
    }
}

// Into an app's actions popover, an entry chosen (and its confirmation answered), and on to
// another row: the row that opened the popover goes dark, the one under the pointer lights, and
// none once the pointer leaves the window.
TEST_F(WindowTest, AfterAPopoverOrADialogClosesOnlyTheRowUnderThePointerIsLit) {
    const struct {
        QString entry;
        bool confirms;
    } cases[] = {{u"Copy Bundle Identifier"_s, false}, {u"Delete App History"_s, true}};
    window.relaunch({bw::test::sampleReport(1), bw::test::sampleReport(2)});
    ASSERT_EQ(sidebar().appRows().size(), 2u);
    const auto centre = [](QWidget* widget) {
        return widget->mapToGlobal(widget->rect().center());
    };
    for (const auto& [entry, confirms] : cases) {
        SCOPED_TRACE(entry.toStdString());
        SidebarAppButton* opener = sidebar().appRows()[0];
        SidebarAppButton* other = sidebar().appRows()[1];
        movePointer(centre(opener));
        ASSERT_TRUE(opener->isHovering());
        QTest::mouseClick(opener, Qt::RightButton, {}, opener->rect().center());
        settle();
        ASSERT_TRUE(opener->isActionMenuPresented());
        auto* chosen = bw::test::named<QAbstractButton>(*opener->actionMenu(), entry);
        movePointer(centre(chosen));
        QTest::mouseClick(chosen, Qt::LeftButton);
        settle();
        if (confirms) {
            ASSERT_NE(openConfirmation(), nullptr);
            movePointer(centre(bw::test::button(*openConfirmation(), u"Cancel"_s)));
            ASSERT_TRUE(answerConfirmation(u"Cancel"_s));
        }
        ASSERT_FALSE(opener->isActionMenuPresented());

        movePointer(centre(other));
        EXPECT_FALSE(opener->isHovering());
        EXPECT_TRUE(other->isHovering());
        bw::test::movePointerOffAllWindows();
        EXPECT_FALSE(opener->isHovering());
        EXPECT_FALSE(other->isHovering());
    }
}

TEST_F(WindowTest, TheRightClickTargetAnswersOnlyInsideItsRow) {
    window.relaunch({bw::test::sampleReport(1), bw::test::sampleReport(2)});
    SidebarAppButton* row = sidebar().appRows().front();
    const QPoint outside[] = {{-1, 5}, {row->width(), 5}, {5, row->height()}, {5, -1}};
    for (const QPoint point : outside) {
        QTest::mouseClick(row, Qt::RightButton, {}, point);
        settle();
        EXPECT_FALSE(row->isActionMenuPresented());
    }
    // A left click is the row's own: it opens the app's newest report.
    QTest::mouseClick(row, Qt::LeftButton, {}, {5, 5});
    EXPECT_FALSE(row->isActionMenuPresented());
    ASSERT_TRUE(model().report().has_value());
    EXPECT_EQ(model().report()->metadata.bundleIdentifier, row->app().bundleIdentifier);

    QTest::mouseClick(row, Qt::RightButton, {}, {row->width() - 1, row->height() - 1});
    EXPECT_FALSE(row->isActionMenuPresented()); // later, not within the click
    settle();
    EXPECT_TRUE(row->isActionMenuPresented());
}

// Revealing and deleting a shown app's history run end to end; here the rest of the menu.
TEST_F(WindowTest, TheAppActionsMenuCopiesAndAsksBeforeDeletingInPlainText) {
    ScanReport built = bw::test::sampleReport(1);
    built.metadata.appName = u"<b>Tide</b>"_s; // from a build, looking like markup
    ScanReport moved = bw::test::sampleReport(2);
    window.relaunch({built, moved});
    const auto entry = [this](const ScanReport& report, const QString& title) {
        SidebarAppButton* row = *std::ranges::find_if(sidebar().appRows(), [&](auto* row) {
            return row->app().bundleIdentifier == report.metadata.bundleIdentifier;
        });
        row->showActionMenu();
        return bw::test::named<QAbstractButton>(*row->actionMenu(), title);
    };
    EXPECT_FALSE(entry(moved, u"Reveal Build in File Manager"_s)->isEnabled());
    QTest::mouseClick(entry(moved, u"Copy Bundle Identifier"_s), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), moved.metadata.bundleIdentifier);
    settle();

    QTest::mouseClick(entry(built, u"Delete App History"_s), Qt::LeftButton);
    settle();
    ASSERT_NE(openConfirmation(), nullptr);
    EXPECT_EQ(openConfirmation()->titleLabel()->text(), u"Delete <b>Tide</b>?"_s);
    EXPECT_EQ(openConfirmation()->titleLabel()->textFormat(), Qt::PlainText);
    ASSERT_TRUE(answerConfirmation(u"Cancel"_s));
    EXPECT_EQ(model().reports().size(), 2u);
}

TEST_F(WindowTest, SidebarSelectionFollowsTheShownReport) {
    window.relaunch({bw::test::sampleReport(1), bw::test::sampleReport(2)});
    SidebarDestinationButton* scan = sidebar().destination(AppSection::scan);
    SidebarDestinationButton* reports = sidebar().destination(AppSection::recents);
    EXPECT_TRUE(scan->isSelected());
    SidebarAppButton* row = sidebar().appRows().back();
    QWidget* reveal = bw::test::named(window.root(), u"Reveal in File Manager"_s);
    EXPECT_FALSE(reveal->isVisible());
    // The title bar names the screen shown.
    EXPECT_EQ(mainWindow().windowTitle(), "Scan");
    // The fill follows the selection to the app's row.
    const SidebarSelectionHighlight& fill = *sidebar().contentHighlight();
    QTest::mouseClick(row, Qt::LeftButton);
    row = sidebar().appRows().back();
    EXPECT_TRUE(bw::test::waitFor([&] { return fill.movingRect() == row->geometry(); }));
    EXPECT_TRUE(row->isSelected());
    EXPECT_FALSE(scan->isSelected());
    EXPECT_TRUE(reveal->isVisible());
    EXPECT_EQ(mainWindow().windowTitle(), "App 1");
    // Reports keeps the report and its row; Scan closes it.
    QTest::mouseClick(reports, Qt::LeftButton);
    EXPECT_TRUE(reports->isSelected());
    EXPECT_FALSE(reveal->isVisible());
    EXPECT_TRUE(sidebar().appRows().back()->isSelected());
    EXPECT_EQ(mainWindow().windowTitle(), "Reports");
    QTest::mouseClick(scan, Qt::LeftButton);
    EXPECT_FALSE(model().report().has_value());
    EXPECT_TRUE(scan->isSelected());
    EXPECT_FALSE(sidebar().appRows().back()->isSelected());
    EXPECT_EQ(mainWindow().windowTitle(), "Scan");
}

// Clicks never leave a focus ring behind, not even where hiding the sidebar moves the focus on;
// Tab does.
TEST_F(WindowTest, OnlyTheKeyboardLeavesAFocusRing) {
    // The sidebar goes at once, without its slide.
    design::MotionPreferences::instance().overrideReduceMotion(true);
    window.relaunch({bw::test::sampleReport(1)});
    mainWindow().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow()));
    const auto ringed = [this] {
        return std::ranges::any_of(mainWindow().findChildren<QWidget*>(),
                                   [](QWidget* widget) { return design::showsFocusRing(*widget); });
    };
    const auto toggle = [this] { return bw::test::button(window.root(), u"Toggle Sidebar"_s); };
    const std::pair<const char*, std::function<QWidget*()>> clicks[] = {
        {"the app", [this] { return sidebar().appRows().front(); }},
        {"hiding the sidebar", toggle},
        {"showing it", toggle},
    };
    for (const auto& [name, target] : clicks) {
        QTest::mouseClick(target(), Qt::LeftButton);
        settle();
        EXPECT_FALSE(ringed()) << name;
    }
    EXPECT_TRUE(sidebar().isVisible());
    QTest::keyClick(&mainWindow(), Qt::Key_Tab);
    EXPECT_TRUE(ringed());
}

TEST_F(WindowTest, TheContentGetsTheDefaultAndMinimumSizeWithTheMenuBarOnTop) {
    EXPECT_EQ(window.root().size(), QSize(1120, 760));
    mainWindow().resize(100, 100);
    EXPECT_EQ(window.root().size(), QSize(960, 640));
}

TEST_F(WindowTest, EachAppRowShowsItsNewestReportsStatusAndAnIconNoLargerThanDrawn) {
    // App 0's newest report has no findings though an older one had a blocker.
    const auto withFinding = [](int index, std::optional<FindingSeverity> severity) {
        ScanReport report = bw::test::sampleReport(index);
        if (severity) {
            report.findings.front().severity = *severity;
        } else {
            report.findings.clear();
        }
        return report;
    };
    ScanReport older = withFinding(0, FindingSeverity::blocker);
    older.id = QUuid::createUuid();
    older.createdAt = older.createdAt.addDays(-1);
    ScanReport large = withFinding(3, FindingSeverity::blocker);
    large.metadata.iconPNG = bw::test::pngData(bw::test::quadrantImage(QSize(256, 256)));
    window.relaunch({withFinding(0, std::nullopt), older, withFinding(1, FindingSeverity::risk),
                     withFinding(2, FindingSeverity::manual), large});
    std::map<QString, QString> described;
    for (const SidebarAppButton* row : sidebar().appRows()) {
        described[row->app().appName] = row->accessibleDescription();
    }
    EXPECT_EQ(described,
              (std::map<QString, QString>{{"App 0", "Latest report has no blockers or risks"},
                                          {"App 1", "Latest report has 1 risks"},
                                          {"App 2", "Latest report requires 1 manual checks"},
                                          {"App 3", "Latest report has 1 blockers"}}));
    const SidebarApp app = SidebarApp::of(large);
    EXPECT_EQ(sidebarAppIconImage(app, 1).size(), QSize(30, 30));
    EXPECT_EQ(sidebarAppIconImage(app, 16).size(), QSize(256, 256));

    // A row whose app changes while the first frame's icons decode draws the new app's icon.
    const auto coloured = [&](Qt::GlobalColor colour) {
        QImage image(64, 64, QImage::Format_ARGB32);
        image.fill(colour);
        SidebarApp tinted = app;
        tinted.iconPNG = bw::test::pngData(image);
        return tinted;
    };
    SidebarAppButton row(coloured(Qt::red));
    row.resize(row.sizeHint());
    SidebarAppButton::decodeIcons({&row});
    row.setApp(coloured(Qt::blue));
    const QImage drawn = row.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(24, drawn.height() / 2), QColor(Qt::blue));
}

TEST_F(WindowTest, TheAppRowsFollowEachChangeOfTheHistoryKeepingTheRowsOfOtherApps) {
    // The oldest app is the fixture build's own, so the scan moves it to the top.
    ScanReport scanned = bw::test::sampleReport(0);
    scanned.metadata.bundleIdentifier = u"com.example.berthwatch"_s;
    window.relaunch(
        {bw::test::sampleReport(1), bw::test::sampleReport(2), bw::test::sampleReport(3), scanned});
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"publish",
         [&] {
             startScan();
             finishScan();
         }},
        {"delete", [&] { model().deleteReports(SidebarApp::apps(model().reports()).back()); }},
        {"clear", [&] { model().clearReportHistory(); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        QHash<QString, SidebarAppButton*> rowOf;
        for (SidebarAppButton* row : sidebar().appRows()) {
            rowOf.insert(row->app().id(), row);
        }
        change();
        settle();
        const std::vector<SidebarApp> apps = SidebarApp::apps(model().reports());
        const std::vector<SidebarAppButton*>& rows = sidebar().appRows();
        ASSERT_EQ(rows.size(), apps.size());
        for (std::size_t index = 0; index < rows.size(); ++index) {
            EXPECT_EQ(rows[index]->app(), apps[index]);
            EXPECT_EQ(rows[index], rowOf.value(apps[index].id(), rows[index]));
            if (index > 0) {
                EXPECT_GT(rows[index]->y(), rows[index - 1]->y());
            }
        }
    }
}

// The program as main() wires it: a later start, which finds the lock taken before it would read
// the history, brings the minimised window forward, and a build without an update feed offers no
// update check, one with a feed does.
TEST_F(WindowTest, TheProgramComesForwardOnALaterStartAndChecksForUpdatesOnlyWithAFeed) {
    SingleInstance running(window.harness.folder.makeFolder(u"run"_s));
    ASSERT_TRUE(running.lock());
    ASSERT_TRUE(running.claim());
    Program program(running, window.harness.settings());
    EXPECT_FALSE(program.window().checkForUpdatesAction()->isEnabled());
    program.window().showMinimized();
    ASSERT_TRUE(program.window().isMinimized());

    std::atomic<bool> done = false;
    std::thread later([&] {
        SingleInstance later(running.socketPath().section(u'/', 0, -2));
        EXPECT_FALSE(later.lock());
        EXPECT_FALSE(later.claim());
        done = true;
    });
    EXPECT_TRUE(bw::test::waitFor([&] { return done.load(); }));
    later.join();
    settle();
    EXPECT_FALSE(program.window().isMinimized());
    EXPECT_TRUE(program.window().isVisible());

    QSettings settings;
    bw::test::SilentPresenter presenter;
    UpdateController with(std::make_unique<updater::Updater>(
        QUrl(u"http://127.0.0.1:9/appcast.xml"_s), u"1"_s,
        updater::Updater::Environment{window.harness.clock, settings, presenter}));
    EXPECT_TRUE(MainWindow(model(), &with, WindowSetup{}).checkForUpdatesAction()->isEnabled());
}

// "About Berthwatch" heads the application's menu. It shows the name, version and build number
// the program was built with, takes the keyboard at once, and Return or Escape closes it.
TEST_F(WindowTest, AboutHeadsTheMenuShowsTheBuildAndClosesFromTheKeyboard) {
    MainWindow& main = *window.window;
    const QList<QAction*> items = main.menuBar()->actions().front()->menu()->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[0]->text(), u"About Berthwatch"_s);
    EXPECT_EQ(items[1]->text(), u"Check for Updates…"_s);
    const ApplicationInfo& info = ApplicationInfo::main();
    const QString version =
        u"Version %1 (%2)"_s.arg(info.string(u"CFBundleShortVersionString"_s).value_or(QString()),
                                 info.string(u"CFBundleVersion"_s).value_or(QString()));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        main.aboutAction()->trigger();
        QPointer<design::AboutDialog> about = main.findChild<design::AboutDialog*>();
        ASSERT_FALSE(about.isNull());
        // The keyboard comes to the dialog once the desktop has made it the active window.
        EXPECT_TRUE(
            bw::test::waitFor([&] { return about->isAncestorOf(QApplication::focusWidget()); }, 5));
        EXPECT_EQ(about->nameLabel()->text(), u"Berthwatch"_s);
        EXPECT_EQ(about->versionLabel()->text(), version);
        EXPECT_FALSE(version.contains(u"()"_s));
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(about.isNull()) << key;
    }
}

class SidebarWidthTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QSettings().clear();
    }

    static void store(const QVariant& value) {
        QSettings().setValue(SidebarWidth::settingsKey, value);
    }
    static QVariant stored() { return QSettings().value(SidebarWidth::settingsKey); }

    bw::test::TestFolder settingsFolder;
};

// A stored width is laid out within the bounds (a hostile one falls back to the default) and
// never written back; a key steps from the stored width itself, up applying only the upper bound
// and down only the lower one, and stores the result. The handle announces the stored width.
TEST_F(SidebarWidthTest, StoredValuesLayOutWithinTheBoundsAndKeysStepFromThem) {
    const struct {
        QVariant stored;
        int key; // 0: none pressed
        double laidOut;
        double after; // stored once the key is pressed
        QString announced;
        bool mirrored = false; // the sidebar at the right, widening to the left
    } cases[] = {
        {QVariant(), 0, 248, 248, u"248 points"_s},
        {u"nan"_s, 0, 248, 248, u"248 points"_s},
        {-1e300, 0, 220, -1e300, u"-9200000000000000000 points"_s},
        {500, 0, 280, 500, u"500 points"_s},
        {247.9, 0, 247.9, 247.9, u"247 points"_s},
        {225, Qt::Key_Down, 220, 220, u"220 points"_s},
        {u"nan"_s, Qt::Key_Right, 260, 260, u"260 points"_s},
        {274, Qt::Key_Up, 280, 280, u"280 points"_s},
        {300, Qt::Key_Right, 280, 280, u"280 points"_s},
        {1e9, Qt::Key_Left, 280, 1e9 - 12, u"999999988 points"_s},
        {200, Qt::Key_Right, 220, 212, u"212 points"_s},
        {200, Qt::Key_Left, 220, 220, u"220 points"_s},
        {260, Qt::Key_Left, 272, 272, u"272 points"_s, true},
        {260, Qt::Key_Right, 248, 248, u"248 points"_s, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString() + " key " + std::to_string(c.key));
        store(c.stored);
        SidebarWidth width;
        SidebarResizeHandle handle(&width);
        handle.setLayoutDirection(c.mirrored ? Qt::RightToLeft : Qt::LeftToRight);
        if (c.key != 0) {
            QTest::keyClick(&handle, Qt::Key(c.key));
        }
        EXPECT_EQ(width.value(), c.laidOut);
        EXPECT_EQ(width.stored(), c.after);
        EXPECT_EQ(handle.accessibleDescription(), c.announced);
        if (c.key != 0) {
            EXPECT_EQ(stored().toDouble(), c.after);
        } else {
            EXPECT_EQ(stored().toString(), c.stored.toString());
        }
    }
}

TEST_F(SidebarWidthTest, DraggingFollowsThePointerWithinTheBounds) {
    QWidget window;
    window.resize(600, 400);
    store(u"garbage"_s);
    SidebarWidth width;
    auto* handle = new SidebarResizeHandle(&width, &window);
    handle->setGeometry(244, 0, 8, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QPoint start(4, 200);
    QTest::mousePress(handle, Qt::LeftButton, {}, start);
    QTest::mouseMove(handle, start + QPoint(20, 7));
    EXPECT_EQ(width.value(), 268);
    QTest::mouseMove(handle, start + QPoint(500, 0));
    EXPECT_EQ(width.value(), 280);
    // Back within the same drag: measured from where the drag began, not from the last move.
    QTest::mouseMove(handle, start + QPoint(-10, 0));
    EXPECT_EQ(width.value(), 238);
    QTest::mouseMove(handle, start + QPoint(-500, 0));
    EXPECT_EQ(width.value(), 220);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(-500, 0));
    EXPECT_EQ(stored().toDouble(), 220);

    // A move without a press is no drag.
    QTest::mouseMove(handle, start + QPoint(30, 0));
    EXPECT_EQ(width.value(), 220);
}

// A drag starts from the stored width even outside the bounds; its first move already brings the
// width within them.
TEST_F(SidebarWidthTest, ADragStartsFromAStoredWidthOutsideTheBounds) {
    const struct {
        double stored;
        int moved;
        double width;
    } cases[] = {{300, -30, 270}, {300, 5, 280}, {200, 30, 230}, {200, -5, 220}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stored) + " moved " + std::to_string(c.moved));
        store(c.stored);
        QWidget window;
        window.resize(600, 400);
        SidebarWidth width;
        auto* handle = new SidebarResizeHandle(&width, &window);
        handle->setGeometry(276, 0, 8, 400);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QPoint start(4, 200);
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTest::mouseMove(handle, start + QPoint(c.moved, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(c.moved, 0));
        EXPECT_EQ(width.value(), c.width);
        EXPECT_EQ(stored().toDouble(), c.width);
    }
}

} // namespace
} // namespace bw::window
