// The keyboard's focus as a user sees it: every stop that Tab or Shift+Tab reaches shows whole
// with its ring, clear of a faded edge, and the scroll that brings it leaves no text cut at the
// edge; the rings that were hard to see are drawn plainly, clear of the text; the toolbar's share
// item looks like its neighbours.

#include "app/AppModel.h"
#include "tests/support/QtPrinters.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/window/ScannedWindow.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/MenuEntry.h"
#include "ui/design/Palette.h"
#include "ui/report/FindingList.h"
#include "ui/report/FindingRow.h"
#include "ui/report/FindingRowHeader.h"
#include "ui/report/ReportFilterBar.h"
#include "ui/report/ReportHistoryList.h"
#include "ui/report/ReportHistoryRow.h"
#include "ui/report/ReportHistoryView.h"
#include "ui/report/ReportView.h"
#include "ui/report/SearchField.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/window/SidebarResizeHandle.h"
#include "ui/workspace/ScrollEdgeFade.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::settleScreen;

class FocusInViewTest : public test::ScannedWindowTest {
protected:
    void TearDown() override {
        window().window->resize(QSize(1120, 760) + QSize(0, window().window->menuBar()->height()));
        settleScreen();
    }
};

// Room a ring needs round its control.
constexpr int ringMargin = 3;

QRect inWindow(const QWidget& widget) {
    return {widget.mapTo(widget.window(), QPoint()), widget.size()};
}

// What shows the focus of `focused`: a search field rings its whole capsule.
const QWidget& outlineOf(const QWidget& focused) {
    for (const QWidget* part = &focused; part; part = part->parentWidget()) {
        if (qobject_cast<const report::SearchField*>(part)) {
            return *part;
        }
    }
    return focused;
}

// The scroll areas round `widget`, innermost first.
std::vector<QScrollArea*> scrollAreasRound(const QWidget& widget) {
    std::vector<QScrollArea*> areas;
    for (QWidget* around = widget.parentWidget(); around; around = around->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(around);
            area && area->widget() && area->widget()->isAncestorOf(&widget)) {
            areas.push_back(area);
        }
    }
    return areas;
}

// Where an area shows its content plainly, in window coordinates: inside its viewport and clear
// of the edges it fades.
QRect clearPartOf(const QScrollArea& area) {
    QRect shown = inWindow(*area.viewport());
    if (const auto* fade = area.findChild<workspace::ScrollEdgeFade*>()) {
        const bool vertical = area.verticalScrollBar()->maximum() > 0;
        const int length = workspace::ScrollEdgeFade::length;
        const int start = fade->fadesStart() ? length : 0;
        const int end = fade->fadesEnd() ? length : 0;
        shown.adjust(vertical ? 0 : start, vertical ? start : 0, vertical ? 0 : -end,
                     vertical ? -end : 0);
    }
    return shown;
}

// Why the focused control is not seen whole with its ring; empty when it is.
QString whyNotInView(const QWidget& focused) {
    const QWidget& stop = outlineOf(focused);
    const QRect place = inWindow(stop);
    for (const QScrollArea* area : scrollAreasRound(stop)) {
        // The ring's room is asked for only where the content goes on.
        const QRect needed = place.adjusted(-ringMargin, -ringMargin, ringMargin, ringMargin) &
                             inWindow(*area->widget());
        const QRect clear = clearPartOf(*area);
        if (!clear.contains(needed)) {
            return u"%1…%2 high, %3…%4 wide, outside %5…%6, %7…%8"_s.arg(needed.top())
                .arg(needed.bottom())
                .arg(needed.left())
                .arg(needed.right())
                .arg(clear.top())
                .arg(clear.bottom())
                .arg(clear.left())
                .arg(clear.right());
        }
    }
    const QWidget* top = stop.window()->childAt(place.center());
    if (top != &stop && !stop.isAncestorOf(top)) {
        return u"covered"_s;
    }
    return {};
}

// The texts that an edge of `area`'s view cuts through, across that edge.
std::vector<QString> textsCutBy(const QScrollArea& area) {
    std::vector<QString> cut;
    const QRectF shown = inWindow(*area.viewport());
    for (const bw::test::PaintedText& text : bw::test::paintedTexts(*area.window())) {
        const QRectF& ink = text.ink;
        const auto across = [&](qreal edge) {
            return ink.top() < edge - 1 && ink.bottom() > edge + 1;
        };
        const bool beside = ink.right() < shown.left() || ink.left() > shown.right();
        if (!beside && (across(shown.top()) || across(shown.bottom()))) {
            cut.push_back(u'"' + text.text + u'"');
        }
    }
    return cut;
}

// A name for a stop that outlives it (the finding list rebuilds its rows as it scrolls): its
// class, its name and its place in the content that scrolls with it (a row of phones scrolls
// sideways within the page).
QString keyOf(const QWidget& widget) {
    const std::vector<QScrollArea*> areas = scrollAreasRound(widget);
    const QWidget& page = areas.empty() ? *widget.window() : *areas.front()->widget();
    const QPoint at = widget.mapTo(&page, QPoint());
    return u"%1 \"%2\" at %3,%4"_s
        .arg(QString::fromUtf8(widget.metaObject()->className()), widget.accessibleName())
        .arg(at.x())
        .arg(at.y());
}

// Until the page holds its height: what moves on it (a row opening or closing) is at rest.
void waitForRest(const QWidget& page) {
    for (int wait = 0, last = -1; wait < 30 && last != page.height(); ++wait) {
        last = page.height();
        QTest::qWait(100);
    }
    settleScreen();
}

struct Walk {
    std::vector<QString> stops;
    std::vector<QString> faults;
};

// Presses Tab (or Shift+Tab) until the focus is back where it started, checking every stop.
Walk walk(bool forward) {
    Walk walk;
    const QString start = keyOf(*QApplication::focusWidget());
    for (int press = 0; press < 200; ++press) {
        QWidget* from = QApplication::focusWidget();
        std::vector<std::pair<QPointer<QScrollBar>, int>> scrolls;
        for (const QScrollArea* area : from->window()->findChildren<QScrollArea*>()) {
            scrolls.emplace_back(area->verticalScrollBar(), area->verticalScrollBar()->value());
        }
        QTest::keyClick(from, Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        settleScreen();
        QWidget* focused = QApplication::focusWidget();
        if (!focused) {
            walk.faults.push_back(u"focus lost"_s);
            return walk;
        }
        const QString key = keyOf(*focused);
        walk.stops.push_back(key);
        if (const QString why = whyNotInView(*focused); !why.isEmpty()) {
            walk.faults.push_back(key + u" not in view: "_s + why);
        }
        // A scroll the key made leaves no text cut at the page's edges.
        const std::vector<QScrollArea*> areas = scrollAreasRound(outlineOf(*focused));
        const bool scrolled = std::ranges::any_of(scrolls, [&](const auto& scroll) {
            return !areas.empty() && scroll.first == areas.back()->verticalScrollBar() &&
                   scroll.second != scroll.first->value();
        });
        if (scrolled) {
            for (const QString& text : textsCutBy(*areas.back())) {
                walk.faults.push_back(key + u" leaves "_s + text + u" cut at an edge"_s);
            }
        }
        if (key == start) {
            return walk;
        }
    }
    walk.faults.push_back(u"Tab never comes back"_s);
    return walk;
}

void showSection(test::WindowHarness& window, AppSection section) {
    window.model().closeReport();
    window.model().resetForNewScan();
    window.model().setSection(section);
}

struct Screen {
    const char* name;
    std::function<void(test::WindowHarness&, const ScanReport&)> show;
};

const Screen screens[] = {
    {"report", [](test::WindowHarness& window,
                  const ScanReport& report) { window.model().openReport(report); }},
    {"report with its first finding open",
     [](test::WindowHarness& window, const ScanReport& report) {
         window.model().openReport(report);
         window.model().setSelectedFindingID(report.findings.front().id);
     }},
    {"history", [](auto& window, auto&) { showSection(window, AppSection::recents); }},
    {"guidelines", [](auto& window, auto&) { showSection(window, AppSection::guidelines); }},
    {"settings", [](auto& window, auto&) { showSection(window, AppSection::settings); }},
    {"staged build",
     [](test::WindowHarness& window, const ScanReport&) {
         showSection(window, AppSection::scan);
         window.harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
     }},
};

// Tab and Shift+Tab through every screen, from a page scrolled to its end, at the smallest
// window and a large one.
TEST_F(FocusInViewTest, EveryStopShowsWholeAndRetracesBackwards) {
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    for (const QSize size : {QSize(960, 640), QSize(1400, 900)}) {
        window().window->resize(size + QSize(0, window().window->menuBar()->height()));
        for (const Screen& screen : screens) {
            const std::string where =
                std::string(screen.name) + " at " + std::to_string(size.width());
            screen.show(window(), report());
            // Each way from the sidebar's first app, the page scrolled to its end for Tab and to
            // its top for Shift+Tab: the page must come to each stop.
            const auto startAt = [&](bool end) {
                settleScreen();
                for (QScrollArea* area : window().root().screen()->findChildren<QScrollArea*>()) {
                    QScrollBar* bar = area->verticalScrollBar();
                    bar->setValue(end ? bar->maximum() : 0);
                }
                window().root().sidebar()->appRows().front()->setFocus(Qt::TabFocusReason);
                settleScreen();
            };
            startAt(true);
            const Walk forward = walk(true);
            startAt(false);
            const Walk backward = walk(false);
            for (const Walk* each : {&forward, &backward}) {
                for (const QString& fault : each->faults) {
                    ADD_FAILURE() << where << ": " << fault.toStdString();
                }
            }
            ASSERT_FALSE(forward.stops.empty()) << where;
            std::vector<QString> retraced(forward.stops.rbegin() + 1, forward.stops.rend());
            retraced.push_back(forward.stops.back());
            EXPECT_EQ(backward.stops, retraced) << where;
            if (auto* view = window().root().screen()->findChild<report::ReportView*>()) {
                const auto headers = std::ranges::count_if(backward.stops, [](const QString& key) {
                    return key.startsWith(u"bw::report::FindingRowHeader"_s);
                });
                EXPECT_EQ(std::size_t(headers), view->findingList()->count()) << where;
            }
        }
    }
}

// Page Down and Page Up from one end of every screen to the other, at each size: each press
// moves the page a whole page or, where less is left, all the way to its end.
TEST_F(FocusInViewTest, ThePageKeysGoAWholePageOrToTheEnd) {
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    for (const QSize size : {QSize(960, 640), QSize(1120, 760), QSize(1400, 900)}) {
        window().window->resize(size + QSize(0, window().window->menuBar()->height()));
        for (const Screen& screen : screens) {
            SCOPED_TRACE(std::string(screen.name) + " at " + std::to_string(size.width()));
            screen.show(window(), report());
            settleScreen();
            // The page's own area comes before any inside it.
            const auto areas = window().root().screen()->findChildren<QScrollArea*>();
            const auto page = std::ranges::find_if(
                areas, [](QScrollArea* area) { return area->verticalScrollBar()->maximum() > 0; });
            if (page == areas.end()) {
                continue;
            }
            waitForRest(*(*page)->widget());
            QScrollBar* bar = (*page)->verticalScrollBar();
            bar->setValue(0);
            window().root().sidebar()->appRows().front()->setFocus(Qt::TabFocusReason);
            for (const bool down : {true, false}) {
                const auto end = [&] { return down ? bar->maximum() : bar->minimum(); };
                for (int press = 1; press <= 20 && bar->value() != end(); ++press) {
                    const int from = bar->value();
                    QTest::keyClick(QApplication::focusWidget(),
                                    down ? Qt::Key_PageDown : Qt::Key_PageUp);
                    settleScreen();
                    const int step = down ? bar->pageStep() : -bar->pageStep();
                    const int expected = std::clamp(from + step, bar->minimum(), bar->maximum());
                    if (bar->value() != expected) {
                        ADD_FAILURE() << (down ? "Page Down " : "Page Up ") << press << " from "
                                      << from << " of " << bar->maximum() << " goes to "
                                      << bar->value() << ", not " << expected;
                        break;
                    }
                }
                EXPECT_EQ(bar->value(), end());
            }
        }
    }
}

// A key on a control that changes the page round it, at the smallest window: the control and what
// the key opened end up whole in view, and no text is cut at the view's edges.
TEST_F(FocusInViewTest, AKeyboardActionLeavesItsResultInViewUncut) {
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    window().window->resize(QSize(960, 640) + QSize(0, window().window->menuBar()->height()));
    struct Action {
        const char* name;
        // Shows the page, with the keyboard on the control; returns the control.
        std::function<QWidget*(report::ReportView&)> reach;
        // What the key opened, to be seen whole.
        std::function<QWidget*(QWidget&)> result;
    };
    // A chip reached with Shift+Tab from the findings below, the page at its end.
    const auto chipAtTheEnd = [](report::ReportFilterChoice choice) {
        return [choice](report::ReportView& view) -> QWidget* {
            view.scrollArea()->verticalScrollBar()->setValue(
                view.scrollArea()->verticalScrollBar()->maximum());
            return view.filterBar()->chip(choice);
        };
    };
    const Action actions[] = {
        {"Space on \"Risks\"", chipAtTheEnd(report::ReportFilterChoice::risks),
         [](QWidget& chip) { return &chip; }},
        {"Space on \"Blockers\"", chipAtTheEnd(report::ReportFilterChoice::blockers),
         [](QWidget& chip) { return &chip; }},
        // Reached at the foot of the view, where it shows whole and its lines would not.
        {"Space on \"Technical details\"",
         [](report::ReportView& view) -> QWidget* {
             window().model().setSelectedFindingID(view.visibleFindings().front().id);
             settleScreen();
             QWidget* toggle = bw::test::button(view, u"Technical details"_s);
             QWidget* viewport = view.scrollArea()->viewport();
             QScrollBar* bar = view.scrollArea()->verticalScrollBar();
             bar->setValue(bar->value() + toggle->mapTo(viewport, QPoint()).y() + toggle->height() +
                           ringMargin + 8 - viewport->height());
             return toggle;
         },
         [](QWidget& toggle) -> QWidget* {
             return toggle.parentWidget()->findChild<design::CollapsingBox*>();
         }},
        // The row above closes as this one opens, taking the page up with it by more than the
        // view's height.
        {"Space on a finding below an open one",
         [](report::ReportView& view) -> QWidget* {
             window().model().setSelectedFindingID(view.visibleFindings().front().id);
             settleScreen();
             bw::test::button(view, u"Technical details"_s)->click();
             settleScreen();
             EXPECT_GT(view.findingList()->builtRow(0)->height(),
                       view.scrollArea()->viewport()->height());
             return view.findingList()->builtRow(1)->header();
         },
         [](QWidget& header) { return &header; }},
    };
    for (const Action& action : actions) {
        SCOPED_TRACE(action.name);
        window().model().openReport(report());
        window().model().setFindingFilter(std::nullopt);
        window().model().setSelectedFindingID(std::nullopt);
        settleScreen();
        auto* view = window().root().screen()->findChild<report::ReportView*>();
        ASSERT_NE(view, nullptr);
        QPointer<QWidget> control = action.reach(*view);
        ASSERT_NE(control, nullptr);
        settleScreen();
        QTest::keyClick(window().window.get(), Qt::Key_Shift);
        control->setFocus(Qt::BacktabFocusReason);
        settleScreen();
        QTest::keyClick(control, Qt::Key_Space);
        waitForRest(*view->scrollArea()->widget());
        ASSERT_TRUE(control);
        EXPECT_EQ(whyNotInView(*control), QString());
        const QWidget* result = action.result(*control);
        ASSERT_NE(result, nullptr);
        EXPECT_TRUE(clearPartOf(*view->scrollArea()).contains(inWindow(*result)));
        EXPECT_EQ(textsCutBy(*view->scrollArea()), std::vector<QString>());
    }
}

// How far apart two colours are: the largest difference of a channel.
int distance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

// The pixels round `control` (window coordinates) that its ring paints: those that change
// plainly (more than a faint outline or a hover fill would), toward the ring's colour, when the
// keyboard brings it the focus.
std::vector<QPoint> ringPixels(QWidget& control) {
    // The focus comes from the keyboard only after a key; a popover may have given it to its
    // first entry already, as it opened under a click.
    control.clearFocus();
    QTest::keyClick(control.window(), Qt::Key_Shift);
    control.setFocus(Qt::TabFocusReason);
    // Shot once the control shows the keyboard's focus, which an inactive window holds back
    // until it is active again.
    if (!QTest::qWaitFor([&] { return design::showsFocusRing(control); })) {
        return {};
    }
    settleScreen();
    const QRect area = inWindow(control).adjusted(-6, -6, 6, 6);
    const auto shot = [&] {
        bw::test::settle();
        return control.window()->grab(area).toImage();
    };
    const QImage ringed = shot();
    control.clearFocus();
    const QImage plain = shot();
    const QColor ring = design::palette::accent();
    std::vector<QPoint> pixels;
    for (int y = 0; y < ringed.height() && ringed.size() == plain.size(); ++y) {
        for (int x = 0; x < ringed.width(); ++x) {
            const QColor a = ringed.pixelColor(x, y);
            const QColor b = plain.pixelColor(x, y);
            if (distance(a, b) >= 96 && distance(a, ring) < distance(b, ring)) {
                pixels.push_back(area.topLeft() + QPoint(x, y));
            }
        }
    }
    return pixels;
}

// Why the ring of `control` is not one a user sees round it, clear of its text; empty when it is.
QString whyNoRing(QWidget& control) {
    const std::vector<QPoint> ring = ringPixels(control);
    // Said apart, as neither shows in the pixels: the focus not arriving, or arriving unringed.
    control.setFocus(Qt::TabFocusReason);
    settleScreen();
    if (!control.hasFocus()) {
        return u"the focus does not reach it (its window %1 active)"_s.arg(
            control.isActiveWindow() ? u"is"_s : u"is not"_s);
    }
    if (!design::showsFocusRing(control)) {
        return u"it has the focus, not as the keyboard's"_s;
    }
    QRect bounds;
    for (const QPoint& pixel : ring) {
        bounds |= QRect(pixel, QSize(1, 1));
    }
    if (bounds.width() < 8 || bounds.height() < 8) {
        return u"no ring round it: %1 pixels change within %2×%3"_s.arg(ring.size())
            .arg(bounds.width())
            .arg(bounds.height());
    }
    // Closed: each side of it drawn.
    const QRect sides[] = {
        {bounds.left(), bounds.top(), 3, bounds.height()},
        {bounds.right() - 2, bounds.top(), 3, bounds.height()},
        {bounds.left(), bounds.top(), bounds.width(), 3},
        {bounds.left(), bounds.bottom() - 2, bounds.width(), 3},
    };
    for (const QRect& side : sides) {
        if (std::ranges::count_if(ring, [&](QPoint p) { return side.contains(p); }) < 3) {
            return u"the ring has a side missing"_s;
        }
    }
    for (const bw::test::PaintedText& text : bw::test::paintedTexts(*control.window())) {
        if (std::ranges::any_of(ring, [&](QPoint p) { return text.ink.contains(QPointF(p)); })) {
            return u"the ring runs over \"%1\""_s.arg(text.text);
        }
    }
    return {};
}

report::ReportView& openReport(test::WindowHarness& window, const ScanReport& report) {
    window.model().openReport(report);
    settleScreen();
    return *window.root().screen()->findChild<report::ReportView*>();
}

struct Ringed {
    const char* name;
    // Shows the control and returns it.
    std::function<QWidget*(test::WindowHarness&, const ScanReport&)> show;
    std::function<void()> close = [] {};
};

void closePopup() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
}

// The first entry of the popup that shows.
QWidget* firstEntry() {
    settleScreen();
    QWidget* popup = QApplication::activePopupWidget();
    return popup ? popup->findChild<design::MenuEntry*>() : nullptr;
}

const Ringed ringedControls[] = {
    {"Clear search",
     [](test::WindowHarness& window, const ScanReport&) -> QWidget* {
         showSection(window, AppSection::recents);
         settleScreen();
         auto& history = *qobject_cast<report::ReportHistoryView*>(window.root().screen());
         history.searchField()->setText(u"a"_s);
         settleScreen();
         return bw::test::button(history, u"Clear search"_s);
     }},
    {"sidebar width",
     [](test::WindowHarness& window, const ScanReport&) -> QWidget* {
         return window.root().resizeHandle();
     }},
    {"app actions entry",
     [](test::WindowHarness& window, const ScanReport&) {
         window.root().sidebar()->appRows().front()->showActionMenu();
         return firstEntry();
     },
     closePopup},
    {"report actions entry",
     [](test::WindowHarness& window, const ScanReport& report) {
         showSection(window, AppSection::recents);
         settleScreen();
         auto& history = *qobject_cast<report::ReportHistoryView*>(window.root().screen());
         QTest::mouseClick(history.list()->rowFor(report.id), Qt::RightButton);
         return firstEntry();
     },
     closePopup},
    {"Share report",
     [](test::WindowHarness& window, const ScanReport& report) -> QWidget* {
         openReport(window, report);
         return bw::test::button(window.root(), u"Share report"_s);
     }},
    {"Technical details",
     [](test::WindowHarness& window, const ScanReport& report) -> QWidget* {
         report::ReportView& view = openReport(window, report);
         window.model().setSelectedFindingID(report.findings.front().id);
         settleScreen();
         QWidget* toggle = bw::test::button(view, u"Technical details"_s);
         view.scrollArea()->ensureWidgetVisible(toggle);
         return toggle;
     }},
};

TEST_F(FocusInViewTest, EveryStopShowsARingClearOfItsText) {
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    for (const Ringed& each : ringedControls) {
        QWidget* control = each.show(window(), report());
        settleScreen();
        ASSERT_NE(control, nullptr) << each.name;
        ASSERT_TRUE(control->isVisible()) << each.name;
        const QString why = whyNoRing(*control);
        EXPECT_TRUE(why.isEmpty()) << each.name << ": " << why.toStdString();
        each.close();
        settleScreen();
    }
}

// The toolbar's share item and its neighbour, at rest and under the pointer: the same fill (no
// frame of its own) and a symbol of the same colour.
TEST_F(FocusInViewTest, TheShareItemIsDrawnLikeItsNeighbour) {
    openReport(window(), report());
    QWidget* share = bw::test::button(window().root(), u"Share report"_s);
    QWidget* reveal = bw::test::button(window().root(), u"Reveal in File Manager"_s);
    ASSERT_TRUE(share && reveal);
    ASSERT_EQ(share->size(), reveal->size());
    // Where the symbols' ink lands, in either item.
    QRegion symbols;
    for (const bw::test::PaintedText& text : bw::test::paintedTexts(*window().window)) {
        for (const QWidget* item : {share, reveal}) {
            const QRect ink = text.ink.toAlignedRect().adjusted(-1, -1, 1, 1);
            if (inWindow(*item).intersects(ink)) {
                symbols += ink.translated(-inWindow(*item).topLeft());
            }
        }
    }
    ASSERT_FALSE(symbols.isEmpty());
    const auto look = [](QWidget* item, bool hovered) {
        const QPoint middle = item->rect().center();
        QCursor::setPos(hovered ? item->mapToGlobal(middle) : QPoint(0, 0));
        QTest::mouseMove(hovered ? item : item->window(), hovered ? middle : QPoint(1, 1));
        settleScreen();
        return item->window()->grab(inWindow(*item)).toImage();
    };
    const auto brightest = [](const QImage& image) {
        int most = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                most = std::max(most, qGray(image.pixel(x, y)));
            }
        }
        return most;
    };
    for (const bool hovered : {false, true}) {
        const QImage mine = look(share, hovered);
        const QImage theirs = look(reveal, hovered);
        int differing = 0;
        for (int y = 0; y < mine.height(); ++y) {
            for (int x = 0; x < mine.width(); ++x) {
                const int difference = distance(mine.pixelColor(x, y), theirs.pixelColor(x, y));
                differing += !symbols.contains(QPoint(x, y)) && difference > 6 ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << (hovered ? "under the pointer" : "at rest");
        EXPECT_NEAR(brightest(mine), brightest(theirs), 12)
            << (hovered ? "under the pointer" : "at rest");
    }
}

} // namespace
} // namespace bw::window
