// What the pointer does on the window's rows and pages, done with the keys: the Menu key and
// Shift+F10 open a row's actions, Return opens a row, the page keys scroll the page shown, and
// the arrows keep to the sidebar or the page they start in.

#include "app/AppModel.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/window/ScannedWindow.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/MenuEntry.h"
#include "ui/report/FindingList.h"
#include "ui/report/FindingResolutionPanel.h"
#include "ui/report/FindingRow.h"
#include "ui/report/FindingRowHeader.h"
#include "ui/report/ReportFilterBar.h"
#include "ui/report/ReportHistoryList.h"
#include "ui/report/ReportHistoryRow.h"
#include "ui/report/ReportHistoryView.h"
#include "ui/report/ReportView.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/window/SidebarDestinationButton.h"
#include "ui/workspace/StagedBuildView.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::settleScreen;

class KeyboardActionsTest : public test::ScannedWindowTest {
protected:
    void SetUp() override {
        ScannedWindowTest::SetUp();
        window().window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    }

    static QWidget* showSection(AppSection section) {
        model().closeReport();
        model().resetForNewScan();
        model().setSection(section);
        settleScreen();
        return window().root().screen();
    }
    static report::ReportHistoryRow* historyRow() {
        auto* view = qobject_cast<report::ReportHistoryView*>(showSection(AppSection::recents));
        return view ? view->list()->rowFor(report().id) : nullptr;
    }
    static SidebarAppButton* appRow() {
        for (SidebarAppButton* row : window().root().sidebar()->appRows()) {
            if (row->app().bundleIdentifier == report().metadata.bundleIdentifier) {
                return row;
            }
        }
        return nullptr;
    }
    // The first finding's row of the report shown.
    static report::FindingRow* shownFinding() {
        auto* view = window().root().screen()->findChild<report::ReportView*>();
        return view ? view->findingList()->builtRow(0) : nullptr;
    }
    // The report with nothing filtered out and its first finding `open`; that finding's row.
    static report::FindingRow* firstFinding(bool open) {
        model().openReport(report());
        model().setFindingFilter(std::nullopt);
        settleScreen();
        auto* view = window().root().screen()->findChild<report::ReportView*>();
        model().setSelectedFindingID(open ? std::optional(view->visibleFindings().front().id)
                                          : std::nullopt);
        settleScreen();
        return shownFinding();
    }
    // The first entry of the actions popover of `row`, opened with the Menu key.
    static QWidget* actionsEntry(QWidget& row) {
        tabTo(row);
        QTest::keyClick(&row, Qt::Key_Menu);
        return QApplication::activePopupWidget() ? QApplication::focusWidget() : nullptr;
    }
    // Brings the keyboard to `row` as a user does: from the stop before it, by Tab.
    static void tabTo(QWidget& row) {
        // The offscreen platform leaves no window active after a popup has closed.
        window().window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
        row.setFocus(Qt::BacktabFocusReason);
        QTest::keyClick(&row, Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        settleScreen();
    }
};

QString focusedName() {
    const QWidget* focused = QApplication::focusWidget();
    return focused ? focused->accessibleName() + u" ("_s +
                         QString::fromUtf8(focused->metaObject()->className()) + u")"_s
                   : u"nothing"_s;
}

// How a screen reader announces the focus, from the accessible object that Qt's focus event
// names: its name and role, then its parent's; nothing unless the object reads as focused.
QString announcedFocus() {
    QWidget* focused = QApplication::focusWidget();
    QAccessibleInterface* focus =
        focused ? QAccessible::queryAccessibleInterface(focused) : nullptr;
    if (!focus || !focus->state().focused || !focus->parent()) {
        return u"nothing"_s;
    }
    const auto spoken = [](QAccessibleInterface& node) {
        return node.text(QAccessible::Name) + u' ' + QString::number(node.role(), 16);
    };
    return spoken(*focus) + u" in "_s + spoken(*focus->parent());
}

// The first control of `region` that Tab reaches in its window.
QWidget* firstStopIn(const QWidget& region) {
    QWidget* window = region.window();
    for (QWidget* next = window->nextInFocusChain(); next != window;
         next = next->nextInFocusChain()) {
        if (region.isAncestorOf(next) && next->isVisible() && next->isEnabled() &&
            (next->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
            return next;
        }
    }
    return nullptr;
}

bool isWithin(const QWidget& region) {
    const QWidget* focused = QApplication::focusWidget();
    return focused && region.isAncestorOf(focused);
}

TEST_F(KeyboardActionsTest, TheMenuKeysOpenARowsActionsOnItsFirstEntryAndEscapeComesBack) {
    struct Row {
        const char* name;
        std::function<QWidget*()> reach;
        QString firstEntry;
        QString popover; // as assistive technology names it
    };
    const Row rows[] = {
        {"app row", [] { return static_cast<QWidget*>(appRow()); }, u"Open Latest Report"_s,
         u"App actions"_s},
        {"history row", [] { return static_cast<QWidget*>(historyRow()); }, u"Open Report"_s,
         u"Report actions"_s},
    };
    const std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {"Menu", Qt::Key_Menu, Qt::NoModifier}, {"Shift+F10", Qt::Key_F10, Qt::ShiftModifier}};
    for (const Row& kind : rows) {
        for (const auto& [keyName, key, modifiers] : keys) {
            SCOPED_TRACE(std::string(kind.name) + " " + keyName);
            QWidget* row = kind.reach();
            ASSERT_NE(row, nullptr);
            tabTo(*row);
            ASSERT_EQ(QApplication::focusWidget(), row);
            QTest::keyClick(row, key, modifiers);
            QWidget* popover = QApplication::activePopupWidget();
            ASSERT_NE(popover, nullptr);
            auto* entry = qobject_cast<design::MenuEntry*>(QApplication::focusWidget());
            ASSERT_NE(entry, nullptr) << focusedName().toStdString();
            EXPECT_EQ(entry->text(), kind.firstEntry);
            EXPECT_TRUE(design::showsFocusRing(*entry));
            // A screen reader announces the lit entry as a menu's item, and each the keys light.
            const auto menuItem = [&](const QString& name) {
                return u"%1 %2 in %3 %4"_s.arg(name, QString::number(QAccessible::MenuItem, 16),
                                               kind.popover,
                                               QString::number(QAccessible::PopupMenu, 16));
            };
            EXPECT_EQ(announcedFocus(), menuItem(kind.firstEntry));
            QTest::keyClick(entry, Qt::Key_Down);
            QWidget* next = QApplication::focusWidget();
            ASSERT_NE(next, entry);
            EXPECT_EQ(announcedFocus(), menuItem(next->accessibleName()));
            entry = qobject_cast<design::MenuEntry*>(next);
            ASSERT_NE(entry, nullptr) << focusedName().toStdString();

            QTest::keyClick(entry, Qt::Key_Escape);
            EXPECT_TRUE(bw::test::waitFor([] { return !QApplication::activePopupWidget(); }));
            EXPECT_EQ(QApplication::focusWidget(), row) << focusedName().toStdString();
            EXPECT_TRUE(design::showsFocusRing(*row));
        }
    }
}

TEST_F(KeyboardActionsTest, AnAppRowsEllipsisIsItsNextStopAndReturnOpensTheActions) {
    showSection(AppSection::scan);
    SidebarAppButton* row = appRow();
    ASSERT_NE(row, nullptr);
    tabTo(*row);
    QTest::keyClick(row, Qt::Key_Tab);
    QWidget* ellipsis = QApplication::focusWidget();
    ASSERT_NE(ellipsis, nullptr);
    EXPECT_EQ(ellipsis->accessibleName(), u"App actions"_s);
    EXPECT_EQ(ellipsis->parentWidget(), row);
    QTest::keyClick(ellipsis, Qt::Key_Return);
    EXPECT_TRUE(bw::test::waitFor([&] { return row->isActionMenuPresented(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(bw::test::waitFor([&] { return !row->isActionMenuPresented(); }));
    // Shift+Tab retraces the way: the ellipsis, then its row.
    tabTo(*ellipsis);
    QTest::keyClick(ellipsis, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), row);
}

TEST_F(KeyboardActionsTest, ReturnAndEnterOpenTheFocusedRow) {
    struct Row {
        const char* name;
        std::function<QWidget*()> reach;
        std::function<bool()> opened;
    };
    const Row rows[] = {
        {"Reports in the sidebar",
         [] {
             showSection(AppSection::scan);
             return static_cast<QWidget*>(
                 window().root().sidebar()->destination(AppSection::recents));
         },
         [] { return model().section() == AppSection::recents && !model().report(); }},
        {"an app in the sidebar",
         [] {
             showSection(AppSection::scan);
             return static_cast<QWidget*>(appRow());
         },
         [] { return model().report() && model().report()->id == report().id; }},
        {"a history row", [] { return static_cast<QWidget*>(historyRow()); },
         [] { return model().report() && model().report()->id == report().id; }},
        {"a finding row", [] { return static_cast<QWidget*>(firstFinding(false)->header()); },
         [] { return model().selectedFindingID().has_value(); }},
        {"\"Technical details\"",
         [] { return bw::test::button(*firstFinding(true), u"Technical details"_s); },
         [] { return shownFinding()->panel()->showsTechnicalDetails(); }},
        // A popover's entry, reached with the key that opens the popover.
        {"an entry of an app's actions",
         [] {
             showSection(AppSection::scan);
             return actionsEntry(*appRow());
         },
         [] { return !QApplication::activePopupWidget() && model().report(); }},
        {"an entry of a report's actions", [] { return actionsEntry(*historyRow()); },
         [] { return !QApplication::activePopupWidget() && model().report(); }},
    };
    for (const Row& kind : rows) {
        for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::KeypadModifier}) {
            SCOPED_TRACE(std::string(kind.name) + (modifiers ? " Enter" : " Return"));
            QWidget* row = kind.reach();
            ASSERT_NE(row, nullptr);
            if (!QApplication::activePopupWidget()) {
                tabTo(*row);
            }
            ASSERT_FALSE(kind.opened());
            QTest::keyClick(row, modifiers ? Qt::Key_Enter : Qt::Key_Return, modifiers);
            EXPECT_TRUE(bw::test::waitFor(kind.opened));
        }
    }
}

// The report scrolls with the page keys while the keyboard is on the sidebar, over findings and
// passed checks that hold no control.
TEST_F(KeyboardActionsTest, ThePageKeysScrollTheReportShownFromTheSidebar) {
    model().openReport(report());
    settleScreen();
    auto* view = window().root().screen()->findChild<report::ReportView*>();
    ASSERT_NE(view, nullptr);
    QScrollBar* bar = view->scrollArea()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), bar->pageStep()) << "the report fits: nothing to scroll";
    SidebarAppButton* row = appRow();
    tabTo(*row);
    // A finding opened by an earlier test keeps the page where it shows.
    const int start = bar->value();
    QTest::keyClick(row, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), std::min(start + bar->pageStep(), bar->maximum()));
    QTest::keyClick(row, Qt::Key_End);
    EXPECT_EQ(bar->value(), bar->maximum());
    QTest::keyClick(row, Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), bar->maximum() - bar->pageStep());
    QTest::keyClick(row, Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(QApplication::focusWidget(), row);
    // From a control that End takes out of sight, over passed checks that hold none, the page
    // itself takes the focus.
    QWidget* passed = view->filterBar()->chip(report::ReportFilterChoice::passed);
    QTest::mouseClick(passed, Qt::LeftButton);
    tabTo(*passed);
    QTest::keyClick(passed, Qt::Key_End);
    EXPECT_EQ(QApplication::focusWidget(), view) << focusedName().toStdString();
    QTest::mouseClick(passed, Qt::LeftButton);
}

// The toolbar's share menu opened with Space starts lit on its first entry, as the popovers do;
// opened with a click, on none.
TEST_F(KeyboardActionsTest, TheShareMenuOpenedWithTheKeysStartsOnItsFirstEntry) {
    model().openReport(report());
    settleScreen();
    auto* share = qobject_cast<QToolButton*>(bw::test::button(window().root(), u"Share report"_s));
    ASSERT_TRUE(share && share->menu());
    QMenu* menu = share->menu();
    QString lit = u"no menu"_s;
    // Looked at once shown, in the menu's own loop, and closed.
    const QObject looker;
    QObject::connect(menu, &QMenu::aboutToShow, &looker, [&] {
        QMetaObject::invokeMethod(
            menu,
            [&] {
                lit = menu->activeAction() ? menu->activeAction()->text() : QString();
                menu->close();
            },
            Qt::QueuedConnection);
    });
    tabTo(*share);
    QTest::keyClick(share, Qt::Key_Space);
    EXPECT_EQ(lit, u"Copy"_s);
    QTest::mouseClick(share, Qt::LeftButton);
    EXPECT_EQ(lit, QString());
}

// Down and Up walk a region's stops and stop at its ends: the staged build's page never hands
// the keyboard to the sidebar, nor the sidebar to the page. The arrow pointing onward, the left
// one when mirrored, goes where Down does.
TEST_F(KeyboardActionsTest, TheArrowsKeepToTheSidebarOrThePage) {
    showSection(AppSection::scan);
    window().harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
    settleScreen();
    auto* page = window().root().screen()->findChild<workspace::StagedBuildView*>();
    ASSERT_NE(page, nullptr);
    BerthwatchSidebar& sidebar = *window().root().sidebar();
    struct Region {
        const char* name;
        QWidget* region;
        QWidget* start;
    };
    const Region regions[] = {{"page", page, firstStopIn(*page)},
                              {"sidebar", &sidebar, firstStopIn(sidebar)}};
    for (const Region& region : regions) {
        SCOPED_TRACE(region.name);
        ASSERT_NE(region.start, nullptr);
        tabTo(*region.start);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
            QWidget* previous = nullptr;
            // Far more presses than the region has stops: the keyboard comes to rest at an end.
            for (int press = 0; press < 60 && QApplication::focusWidget() != previous; ++press) {
                previous = QApplication::focusWidget();
                QTest::keyClick(previous, key);
                ASSERT_TRUE(isWithin(*region.region)) << focusedName().toStdString();
            }
            EXPECT_EQ(QApplication::focusWidget(), previous) << "the arrows never came to rest";
        }
        EXPECT_EQ(QApplication::focusWidget(), region.start) << focusedName().toStdString();
        QTest::keyClick(region.start, Qt::Key_Down);
        QWidget* const next = QApplication::focusWidget();
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            window().window->setLayoutDirection(direction);
            tabTo(*region.start);
            QTest::keyClick(region.start,
                            direction == Qt::RightToLeft ? Qt::Key_Left : Qt::Key_Right);
            EXPECT_EQ(QApplication::focusWidget(), next) << focusedName().toStdString();
        }
        window().window->setLayoutDirection(Qt::LeftToRight);
    }
    model().resetForNewScan();
}

} // namespace
} // namespace bw::window
