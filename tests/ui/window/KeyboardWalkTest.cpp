// Every screen of the window walked with the keyboard alone, over a real report: Tab reaches each
// control in reading order (top to bottom, then leading to trailing within a line), brings it into
// view and rings it; Shift+Tab runs the same stops backwards; a popover or a question keeps the
// focus inside itself until it closes. To walk another screen or popup, add a row to `screens`.

#include "app/AppModel.h"
#include "tests/ui/window/ScannedWindow.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/ConfirmationDialog.h"
#include "ui/report/ReportHistoryList.h"
#include "ui/report/ReportHistoryRow.h"
#include "ui/report/ReportHistoryView.h"
#include "ui/report/ReportView.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/workspace/BuildMetadataItem.h"
#include "ui/workspace/ReviewScreensSection.h"
#include "ui/workspace/StagedAppIcon.h"
#include "ui/workspace/StagedBuildView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::settleScreen;

class KeyboardWalkTest : public test::ScannedWindowTest {};

// How a fault names a control.
QString nameOf(const QWidget& widget) {
    QString name = widget.accessibleName();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget);
        name.isEmpty() && button) {
        name = button->text();
    }
    return u"\"%1\" (%2)"_s.arg(name, QString::fromUtf8(widget.metaObject()->className()));
}

QRect placeInWindow(const QWidget& widget) {
    return {widget.mapTo(widget.window(), QPoint()), widget.size()};
}

// Whether `later` comes after `earlier` as a page is read: on a lower line, or on the same line
// (either one's middle within the other's height) and further along it.
bool readsAfter(const QRect& earlier, const QRect& later) {
    const auto within = [](int y, const QRect& box) { return y >= box.top() && y <= box.bottom(); };
    if (within(later.center().y(), earlier) || within(earlier.center().y(), later)) {
        const bool rightToLeft = QGuiApplication::layoutDirection() == Qt::RightToLeft;
        return rightToLeft ? later.center().x() < earlier.center().x()
                           : later.center().x() > earlier.center().x();
    }
    return later.center().y() > earlier.center().y();
}

// How much of the widget shows through the widgets that clip it.
QSize seenSize(const QWidget& widget) {
    QRect seen(QPoint(), widget.size());
    for (const QWidget* part = &widget; !part->isWindow(); part = part->parentWidget()) {
        seen.translate(part->pos());
        seen &= part->parentWidget()->rect();
    }
    return seen.size();
}

// Whether the whole control is in view: inside every widget that clips it and on top at its
// middle.
bool isWhollyInView(const QWidget& widget) {
    const QWidget* top =
        widget.window()->childAt(widget.mapTo(widget.window(), widget.rect().center()));
    return seenSize(widget) == widget.size() && (top == &widget || widget.isAncestorOf(top));
}

// Whether the control draws a ring that can be seen with the focus from the keyboard: enough of
// it changes plainly from how it draws without the focus.
bool paintsRing(QWidget& widget) {
    // As the window shows it, with a margin: a text field's ring is its frame's, round it.
    const auto shot = [&] {
        return widget.window()->grab(placeInWindow(widget).adjusted(-12, -12, 12, 12)).toImage();
    };
    const QImage ringed = shot();
    widget.clearFocus();
    bw::test::settle();
    const QImage plain = shot();
    widget.setFocus(Qt::TabFocusReason);
    bw::test::settle();
    if (ringed.size() != plain.size()) {
        return true;
    }
    int changed = 0;
    for (int y = 0; y < ringed.height(); ++y) {
        for (int x = 0; x < ringed.width(); ++x) {
            const QColor a = ringed.pixelColor(x, y);
            const QColor b = plain.pixelColor(x, y);
            const int difference =
                std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                          std::abs(a.blue() - b.blue())});
            changed += difference > 8 ? 1 : 0;
        }
    }
    // A ring round even the smallest control changes more than this.
    return changed >= 24;
}

// The stops met pressing Tab (or Shift+Tab) until the focus is back where it started, the
// start last; each fault met on the way is added to `faults`.
struct Walk {
    std::vector<QWidget*> stops;
    // Whether each stop reads after the one before it, for Shift+Tab before it; measured as
    // the stop is reached, with the page scrolled as the keyboard left it.
    std::vector<bool> inOrder;
};

// Where keys go, as Qt sends them: to the open popup's focus, else to the window's.
QWidget* keyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup->focusWidget() ? popup->focusWidget() : popup;
    }
    return QApplication::focusWidget();
}

Walk walk(bool forward, std::vector<QString>& faults) {
    Walk walk;
    QWidget* start = keyTarget();
    if (start && !start->isEnabled()) {
        faults.push_back(u"the focus rests on "_s + nameOf(*start) + u", which is disabled"_s);
    }
    for (int press = 0; press < 300 && start; ++press) {
        QWidget* previous = keyTarget();
        QTest::keyClick(previous, Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        settleScreen();
        QWidget* stop = keyTarget();
        if (!stop) {
            faults.push_back(u"the focus is lost after "_s + nameOf(*previous));
            break;
        }
        const QRect from = placeInWindow(*previous);
        const QRect to = placeInWindow(*stop);
        walk.stops.push_back(stop);
        walk.inOrder.push_back(forward ? readsAfter(from, to) : readsAfter(to, from));
        if (!isWhollyInView(*stop)) {
            faults.push_back(nameOf(*stop) + u" is not wholly in view"_s);
        }
        if (!paintsRing(*stop)) {
            faults.push_back(nameOf(*stop) + u" shows no ring"_s);
        }
        if (stop == start) {
            return walk;
        }
    }
    faults.push_back(u"Tab never comes back to where it started"_s);
    return walk;
}

// Checks the stops inside `region` in a walk: one run, in reading order. A popup is all region,
// so its run starts anew once, where the walk wraps from its last stop to its first.
void checkRegion(const Walk& walk, const QWidget& region, std::vector<QString>& faults) {
    const auto inside = [&](const QWidget* stop) { return region.isAncestorOf(stop); };
    const std::size_t count = walk.stops.size();
    std::size_t entries = 0;
    std::size_t wraps = 0;
    std::size_t insideCount = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const QWidget* before = walk.stops[(i + count - 1) % count];
        if (!inside(walk.stops[i])) {
            continue;
        }
        ++insideCount;
        if (!inside(before)) {
            ++entries;
        } else if (!walk.inOrder[i]) {
            ++wraps;
            faults.push_back(nameOf(*walk.stops[i]) + u" comes after "_s + nameOf(*before));
        }
    }
    if (entries > 1) {
        faults.push_back(
            u"Tab leaves %1 and comes back %2 times"_s.arg(nameOf(region)).arg(entries - 1));
    }
    if (insideCount == count && wraps == 1) {
        faults.pop_back(); // the wrap from a popup's last stop to its first
    }
}

// Walks the window from where the focus stands, Tab and then Shift+Tab, and returns the faults
// of every stop and of the stops inside each of `regions`.
std::vector<QString> walkFaults(const std::vector<const QWidget*>& regions) {
    std::vector<QString> faults;
    const Walk forward = walk(true, faults);
    const Walk backward = walk(false, faults);
    for (const QWidget* region : regions) {
        checkRegion(forward, *region, faults);
        checkRegion(backward, *region, faults);
    }
    // Backwards the same stops come in reverse, ending where both walks started.
    std::vector<QWidget*> reversed(forward.stops.rbegin() + 1, forward.stops.rend());
    reversed.push_back(forward.stops.back());
    if (backward.stops != reversed) {
        faults.push_back(u"Shift+Tab does not retrace Tab"_s);
    }
    // Each fault once, whichever walk met it first.
    std::set<QString> seen;
    std::erase_if(faults, [&](const QString& fault) { return !seen.insert(fault).second; });
    return faults;
}

// A screen or popup to walk: made ready from the window, with the widget holding its stops.
struct Screen {
    const char* name;
    std::function<QWidget*(test::WindowHarness&, const ScanReport&)> show;
    // Closes a popup or ends what the screen started.
    std::function<void(test::WindowHarness&)> close = [](test::WindowHarness&) {};
};

QWidget* section(test::WindowHarness& window, AppSection section) {
    window.model().closeReport();
    window.model().resetForNewScan();
    window.model().setSection(section);
    settleScreen();
    return window.root().screen();
}

report::ReportHistoryView& history(test::WindowHarness& window) {
    section(window, AppSection::recents);
    return *qobject_cast<report::ReportHistoryView*>(window.root().screen());
}

// The popup opened last: a popover or a question.
QWidget* popup() {
    settleScreen();
    QWidget* shown = QApplication::activePopupWidget();
    return shown ? shown : QApplication::activeModalWidget();
}

void closePopup(test::WindowHarness&) {
    QTest::keyClick(keyTarget(), Qt::Key_Escape);
    settleScreen();
}

SidebarAppButton* appRow(test::WindowHarness& window, const QString& name) {
    for (SidebarAppButton* row : window.root().sidebar()->appRows()) {
        if (row->app().appName == name) {
            return row;
        }
    }
    return nullptr;
}

const Screen screens[] = {
    {"report with a finding open",
     [](test::WindowHarness& window, const ScanReport& report) {
         window.model().openReport(report);
         settleScreen();
         auto* view = window.root().screen()->findChild<report::ReportView*>();
         window.model().setSelectedFindingID(view->visibleFindings().front().id);
         return window.root().screen();
     }},
    {"staged build with a screenshot",
     [](test::WindowHarness& window, const ScanReport&) {
         window.model().resetForNewScan();
         window.harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
         window.model().setScreenshot(window.harness.screenshot(u"Paywall.png"_s),
                                      ScreenshotPrompt::paywall);
         return window.root().screen();
     }},
    // The scan of the build staged above, started while the keyboard is on an app in the
    // sidebar; the clock holds its progress on screen. Once done, its report adds an app at the
    // top of the sidebar.
    {"scan progress",
     [](test::WindowHarness& window, const ScanReport&) {
         window.root().sidebar()->appRows().front()->setFocus(Qt::TabFocusReason);
         window.model().startScan(false);
         return window.root().screen();
     },
     [](test::WindowHarness& window) {
         ASSERT_TRUE(bw::test::waitFor([&] {
             window.harness.clock.advance(std::chrono::seconds(1));
             return window.model().report().has_value();
         }));
     }},
    {"history after a filter change",
     [](test::WindowHarness& window, const ScanReport&) {
         history(window).setFilter(report::ReportHistoryFilter::attention);
         return window.root().screen();
     }},
    {"history after a deletion",
     [](test::WindowHarness& window, const ScanReport& report) {
         report::ReportHistoryView& view = history(window);
         const auto& reports = window.model().reports();
         const auto other = std::ranges::find_if(
             reports, [&](const ScanReport& saved) { return saved.id != report.id; });
         window.model().deleteReport(other->id);
         return static_cast<QWidget*>(&view);
     }},
    {"home", [](test::WindowHarness& window,
                const ScanReport&) { return section(window, AppSection::scan); }},
    {"guidelines", [](test::WindowHarness& window,
                      const ScanReport&) { return section(window, AppSection::guidelines); }},
    {"settings", [](test::WindowHarness& window,
                    const ScanReport&) { return section(window, AppSection::settings); }},
    {"app actions",
     [](test::WindowHarness& window, const ScanReport& report) {
         appRow(window, report.metadata.appName)->showActionMenu();
         return popup();
     },
     closePopup},
    {"report actions",
     [](test::WindowHarness& window, const ScanReport& report) {
         report::ReportHistoryView& view = history(window);
         QTest::mouseClick(view.list()->rowFor(report.id), Qt::RightButton);
         return popup();
     },
     closePopup},
    {"question before clearing",
     [](test::WindowHarness& window, const ScanReport&) {
         section(window, AppSection::settings);
         QTest::mouseClick(bw::test::button(window.root(), u"Clear"_s), Qt::LeftButton);
         return popup();
     },
     [](test::WindowHarness&) { ASSERT_TRUE(bw::test::answerConfirmation(u"Cancel"_s)); }},
    {"about",
     [](test::WindowHarness& window, const ScanReport&) {
         window.window->aboutAction()->trigger();
         return popup();
     },
     closePopup},
};

TEST_F(KeyboardWalkTest, EveryScreenReadsInOrderWithARingOnEveryStop) {
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    for (const Screen& screen : screens) {
        QWidget* region = screen.show(window(), report());
        settleScreen();
        ASSERT_NE(region, nullptr) << screen.name;
        // Into the window (or popup) from nowhere, as a user who starts typing.
        QTest::keyClick(keyTarget() ? keyTarget() : region, Qt::Key_Tab);
        settleScreen();
        std::vector<const QWidget*> regions{region};
        if (region->window() == window().window.get()) {
            regions.push_back(window().root().sidebar());
        }
        for (const QString& fault : walkFaults(regions)) {
            ADD_FAILURE() << screen.name << ": " << fault.toStdString();
        }
        screen.close(window());
        settleScreen();
    }
}

} // namespace
} // namespace bw::window

namespace bw::window {
namespace {

// A message that appears on the staged build's page scrolls into view whole and leaves no
// heading cut at the page's top edge, at the smallest window and the default one.
TEST_F(KeyboardWalkTest, AMessageScrollsIntoViewLeavingNoHeadingCut) {
    for (const auto& [size, explained] : {std::pair{QSize(960, 640), false},
                                          {QSize(960, 640), true},
                                          {QSize(1120, 760), false},
                                          {QSize(1120, 760), true}}) {
        window().window->resize(size + QSize(0, window().window->menuBar()->height()));
        section(window(), AppSection::scan);
        window().harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
        auto* page = window().root().screen()->findChild<workspace::StagedBuildView*>();
        ASSERT_NE(page, nullptr);
        // With and without the explanation of App Store images open.
        if (page->reviewScreens()->isStoreImageHelpPresented() != explained) {
            page->reviewScreens()->toggleStoreImageHelp();
        }
        settleScreen();
        window().model().setScreenshot(window().harness.folder.write(u"shot.gif"_s, "GIF89a"),
                                       ScreenshotPrompt::paywall);
        settleScreen();
        EXPECT_TRUE(isWhollyInView(*page->reviewScreens()->importMessage())) << size.width();
        std::vector<const QWidget*> headings{page->findChild<workspace::StagedAppIcon*>(),
                                             page->reviewScreens()->heading()};
        for (const auto* cell : page->findChildren<workspace::BuildMetadataItem*>()) {
            headings.push_back(cell);
        }
        // A heading may be cut only where no place shows it whole with the message.
        const QWidget* shown = page->findChild<QScrollArea*>()->viewport();
        const QWidget& message = *page->reviewScreens()->importMessage();
        const int messageBottom = message.mapTo(shown, QPoint(0, message.height())).y();
        for (const QWidget* heading : headings) {
            const QSize seen = seenSize(*heading);
            const bool fitsWithMessage =
                messageBottom - heading->mapTo(shown, QPoint()).y() <= shown->height();
            EXPECT_TRUE(seen.isEmpty() || seen == heading->size() || !fitsWithMessage)
                << size.width() << "×" << size.height() << (explained ? " explained" : "") << ": "
                << heading->metaObject()->className() << " shows " << seen.height() << " of "
                << heading->height();
        }
    }
    window().window->resize(QSize(1120, 760) + QSize(0, window().window->menuBar()->height()));
}

} // namespace
} // namespace bw::window
