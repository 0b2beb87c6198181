// Every screen of the window walked with the keyboard alone, over a real report, at the smallest,
// the default and a large window: Tab reaches each control in reading order (top to bottom, then
// leading to trailing within a line), wholly in view and with a ring a user can see; Shift+Tab
// runs the same stops backwards; a popover or a question, opened with the keys, keeps the focus
// inside itself until it closes. To walk another screen or popup, add a row to `screens`.
//
// Rows of the lists are deleted and rebuilt as they scroll: no widget is held past the key that
// reached it, stops are told apart by their names.

#include "app/AppModel.h"
#include "tests/model/ReportSamples.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/window/ScannedWindow.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/ConfirmationDialog.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/report/FindingList.h"
#include "ui/report/FindingResolutionPanel.h"
#include "ui/report/FindingRow.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportHistoryFilter.h"
#include "ui/report/ReportHistoryFilterButton.h"
#include "ui/report/ReportHistoryList.h"
#include "ui/report/ReportHistoryRow.h"
#include "ui/report/ReportHistoryView.h"
#include "ui/report/ReportView.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/GuidelineRow.h"
#include "ui/window/GuidelinesView.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/window/SidebarDestinationButton.h"
#include "ui/workspace/BuildMetadataItem.h"
#include "ui/workspace/ReviewScreensSection.h"
#include "ui/workspace/StagedAppIcon.h"
#include "ui/workspace/StagedBuildView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::settleScreen;
using Faults = std::vector<QString>;

class KeyboardWalkTest : public test::ScannedWindowTest {
protected:
    static void resizeWindow(QSize content) {
        window().window->resize(content + QSize(0, window().window->menuBar()->height()));
        settleScreen();
    }
};

// The smallest window, the default one and a large one.
const QSize sizes[] = {{960, 640}, {1120, 760}, {1400, 900}};

// How a fault names a control.
QString nameOf(const QWidget& widget) {
    QString name = widget.accessibleName();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget);
        name.isEmpty() && button) {
        name = button->text();
    }
    return u"\"%1\" (%2)"_s.arg(name, QString::fromUtf8(widget.metaObject()->className()));
}

// The same control after its row was rebuilt: its name with the names round it.
QString identityOf(const QWidget& widget) {
    QStringList names{nameOf(widget)};
    for (const QWidget* part = widget.parentWidget(); part; part = part->parentWidget()) {
        names.prepend(part->accessibleName());
    }
    return names.join(u'/');
}

QRect placeInWindow(const QWidget& widget) {
    return {widget.mapTo(widget.window(), QPoint()), widget.size()};
}

// Where the control lies on its page as laid out, however far the page is scrolled.
QRect placeOnPage(const QWidget& widget) {
    QRect place = placeInWindow(widget);
    for (const QWidget* part = widget.parentWidget(); part; part = part->parentWidget()) {
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(part)) {
            place.translate(0, area->verticalScrollBar()->value());
        }
    }
    return place;
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

// The contrast of two colours as the eye takes it: 1 for the same, 21 for black and white.
double contrast(QColor a, QColor b) {
    const auto luminance = [](QColor color) {
        const auto linear = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
               0.0722 * linear(color.blueF());
    };
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// Whether the control shows a ring a user can see while the keyboard has it: against how the
// window shows it without the focus, the pixels that change plainly (a contrast of 1.5 or more)
// go round it, spanning most of its width and height, and are at least half as many as its
// outline is long. A one-point line or a faint fill changing is not a ring.
bool showsVisibleRing(QWidget& widget) {
    const QRect around = placeInWindow(widget).adjusted(-12, -12, 12, 12);
    const auto shot = [&] { return widget.window()->grab(around).toImage(); };
    // The window may still be coming back from a popup or a dialog, without the focus meanwhile;
    // a deleted row's picture may still be fading out over the row that took its place, or the
    // screen still coming in: the ring is measured once the picture holds still (a second at the
    // most, for a text field's blinking caret).
    bw::test::waitFor([&] { return design::showsFocusRing(widget); }, 5);
    QImage ringed = shot();
    for (int look = 0; look < 25; ++look) {
        QTest::qWait(40);
        QImage again = shot();
        if (again == ringed) {
            break;
        }
        ringed = std::move(again);
    }
    widget.clearFocus();
    bw::test::settle();
    const QImage plain = shot();
    widget.setFocus(Qt::TabFocusReason);
    bw::test::settle();
    if (ringed.size() != plain.size()) {
        return false;
    }
    QRect changed;
    int count = 0;
    for (int y = 0; y < ringed.height(); ++y) {
        for (int x = 0; x < ringed.width(); ++x) {
            const QRgb before = plain.pixel(x, y);
            const QRgb after = ringed.pixel(x, y);
            if (before != after && contrast(QColor(after), QColor(before)) >= 1.5) {
                changed |= QRect(x, y, 1, 1);
                ++count;
            }
        }
    }
    return changed.width() >= 0.8 * widget.width() && changed.height() >= 0.8 * widget.height() &&
           count >= widget.width() + widget.height();
}

// Where keys go, as Qt sends them: to the open popup's focus, else to the window's.
QWidget* keyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup->focusWidget() ? popup->focusWidget() : popup;
    }
    return QApplication::focusWidget();
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = keyTarget();
    QTest::keyClick(target ? target : QApplication::activeWindow(), Qt::Key(key), modifiers);
    settleScreen();
}

// Answers the file chooser once it is up, as a user does: `path` typed, then Return.
void answerChooser(QTimer& timer, const QString& path) {
    QObject::connect(&timer, &QTimer::timeout, [&timer, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            auto* field = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
            timer.stop();
            field->setText(path);
            QTest::keyClick(field, Qt::Key_Return);
        }
    });
    timer.start(50);
}

// Presses Tab until the focus reaches a control that `matches`; none when it never does.
QWidget* tabTo(const std::function<bool(const QWidget&)>& matches) {
    for (int presses = 0; presses < 300; ++presses) {
        if (QWidget* target = keyTarget(); target && matches(*target)) {
            return target;
        }
        press(Qt::Key_Tab);
    }
    return nullptr;
}

// Whether the focus is on `control` with a ring a user can see, wholly in view; else a fault.
std::optional<QString> ringFault(const QPointer<QWidget>& control, const QString& name) {
    bw::test::waitFor([&] { return control && keyTarget() == control; }, 5);
    QWidget* focused = keyTarget();
    if (!control || focused != control) {
        return u"the focus is on "_s + (focused ? nameOf(*focused) : u"nothing"_s) + u", not "_s +
               name;
    }
    if (!isWhollyInView(*control)) {
        return name + u" is not wholly in view"_s;
    }
    if (!design::showsFocusRing(*control) || !showsVisibleRing(*control)) {
        return name + u" shows no ring a user can see"_s;
    }
    return std::nullopt;
}

// A stop as the walk meets it, measured then: the widget itself may be gone by the next key.
struct Stop {
    QString name;
    QString identity;
    // Whether it reads after the stop before it (before it, for Shift+Tab), as the page is laid
    // out.
    bool inOrder;
    // Whether it lies inside each region walked.
    std::vector<bool> inside;
};

using Regions = std::vector<QPointer<QWidget>>;

// The stops met pressing Tab (or Shift+Tab) until the focus is back where it started, the start
// last. Faults met on the way are added; a ring is measured once for each control (`ringed`).
std::vector<Stop> walk(bool forward, const Regions& regions, std::set<QString>& ringed,
                       Faults& faults) {
    std::vector<Stop> stops;
    QWidget* start = keyTarget();
    if (!start) {
        faults.push_back(u"nothing has the focus to start from"_s);
        return stops;
    }
    if (!start->isEnabled()) {
        faults.push_back(u"the focus rests on "_s + nameOf(*start) + u", which is disabled"_s);
    }
    const QString startIdentity = identityOf(*start);
    for (int presses = 0; presses < 300; ++presses) {
        QWidget* previous = keyTarget();
        if (!previous) {
            faults.push_back(u"the focus is lost"_s);
            return stops;
        }
        const QRect from = placeOnPage(*previous);
        const QString fromName = nameOf(*previous);
        press(Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        QWidget* stop = keyTarget();
        if (!stop) {
            faults.push_back(u"the focus is lost after "_s + fromName);
            return stops;
        }
        const QRect to = placeOnPage(*stop);
        Stop met{nameOf(*stop),
                 identityOf(*stop),
                 forward ? readsAfter(from, to) : readsAfter(to, from),
                 {}};
        for (const QPointer<QWidget>& region : regions) {
            met.inside.push_back(region && region->isAncestorOf(stop));
        }
        if (!isWhollyInView(*stop)) {
            faults.push_back(met.name + u" is not wholly in view"_s);
        }
        if (ringed.insert(met.identity).second && !showsVisibleRing(*stop)) {
            faults.push_back(met.name + u" shows no ring a user can see"_s);
        }
        stops.push_back(std::move(met));
        if (stops.back().identity == startIdentity) {
            return stops;
        }
    }
    faults.push_back(u"Tab never comes back to where it started"_s);
    return stops;
}

// Checks the stops of region number `r` in a walk: one run, in reading order. A popup is all
// region, so its run starts anew once, where the walk wraps from its last stop to its first.
void checkRegion(const std::vector<Stop>& stops, std::size_t r, const QString& region,
                 Faults& faults) {
    const std::size_t count = stops.size();
    std::size_t entries = 0;
    std::size_t wraps = 0;
    std::size_t insideCount = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Stop& before = stops[(i + count - 1) % count];
        if (!stops[i].inside[r]) {
            continue;
        }
        ++insideCount;
        if (!before.inside[r]) {
            ++entries;
        } else if (!stops[i].inOrder) {
            ++wraps;
            faults.push_back(stops[i].name + u" comes after "_s + before.name);
        }
    }
    if (entries > 1) {
        faults.push_back(u"Tab leaves %1 and comes back %2 times"_s.arg(region).arg(entries - 1));
    }
    if (insideCount == count && wraps == 1) {
        faults.pop_back(); // the wrap from a popup's last stop to its first
    }
}

// Walks the window from where the focus stands, Tab and then Shift+Tab, and returns the faults
// of every stop and of the stops inside each of `regions`.
Faults walkFaults(const Regions& regions) {
    Faults faults;
    std::set<QString> ringed;
    const std::vector<Stop> forward = walk(true, regions, ringed, faults);
    const std::vector<Stop> backward = walk(false, regions, ringed, faults);
    for (std::size_t r = 0; r < regions.size(); ++r) {
        const QString region = regions[r] ? nameOf(*regions[r]) : u"a region that went"_s;
        checkRegion(forward, r, region, faults);
        checkRegion(backward, r, region, faults);
    }
    // Backwards the same stops come in reverse, ending where both walks started.
    if (!forward.empty()) {
        std::vector<const Stop*> expected;
        for (auto stop = forward.rbegin() + 1; stop != forward.rend(); ++stop) {
            expected.push_back(&*stop);
        }
        expected.push_back(&forward.back());
        for (std::size_t i = 0; i < std::max(expected.size(), backward.size()); ++i) {
            const QString wanted = i < expected.size() ? expected[i]->name : u"the start"_s;
            const QString got = i < backward.size() ? backward[i].name : u"no stop"_s;
            if (i >= expected.size() || i >= backward.size() ||
                expected[i]->identity != backward[i].identity) {
                faults.push_back(
                    u"Shift+Tab does not retrace Tab: its stop %1 is %2, not %3"_s.arg(i + 1).arg(
                        got, wanted));
                break;
            }
        }
    }
    // Each fault once, whichever walk met it first.
    std::set<QString> seen;
    std::erase_if(faults, [&](const QString& fault) { return !seen.insert(fault).second; });
    return faults;
}

// A screen or popup to walk: made ready from the window, with the widget holding its stops; none
// when it cannot be opened, with the fault.
struct Screen {
    const char* name;
    std::function<QWidget*(test::WindowHarness&, const ScanReport&, Faults&)> show;
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

// Closes the popup with Escape; the focus goes back to the control that opened it, with its ring.
void closePopup(test::WindowHarness& window) {
    QPointer<QWidget> opener = window.window->focusWidget();
    const QString name = opener ? nameOf(*opener) : u"its opener"_s;
    press(Qt::Key_Escape);
    // As the desktop does once a dialog has gone.
    window.window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.window.get()));
    settleScreen();
    if (const auto fault = ringFault(opener, name)) {
        ADD_FAILURE() << "after Escape closes the popup: " << fault->toStdString();
    }
}

// Opens the actions of the focused `row` with the Menu key and with Shift+F10, the desktop's
// keys for a context menu; returns the popover that Shift+F10 opened.
QWidget* openActions(QWidget* row, const QString& name, Faults& faults) {
    if (!row) {
        faults.push_back(name + u" cannot be reached with Tab"_s);
        return nullptr;
    }
    press(Qt::Key_Menu);
    if (popup()) {
        press(Qt::Key_Escape);
    } else {
        faults.push_back(u"the Menu key on "_s + name + u" opens no popover"_s);
    }
    press(Qt::Key_F10, Qt::ShiftModifier);
    QWidget* opened = popup();
    if (!opened) {
        faults.push_back(u"Shift+F10 on "_s + name + u" opens no popover"_s);
    }
    return opened;
}

const Screen screens[] = {
    {"report with a finding open",
     [](test::WindowHarness& window, const ScanReport& report, Faults&) {
         window.model().openReport(report);
         settleScreen();
         auto* view = window.root().screen()->findChild<report::ReportView*>();
         window.model().setSelectedFindingID(view->visibleFindings().front().id);
         return window.root().screen();
     }},
    {"staged build with a screenshot",
     [](test::WindowHarness& window, const ScanReport&, Faults&) {
         window.model().resetForNewScan();
         window.harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
         window.model().setScreenshot(window.harness.screenshot(u"Paywall.png"_s),
                                      ScreenshotPrompt::paywall);
         return window.root().screen();
     }},
    // The scan of the build staged above, started while the keyboard is on an app in the
    // sidebar, walked once its work is done and the clock holds its progress on screen. Once
    // shown, its report adds an app at the top of the sidebar.
    {"scan progress",
     [](test::WindowHarness& window, const ScanReport&, Faults& faults) {
         window.root().sidebar()->appRows().front()->setFocus(Qt::TabFocusReason);
         window.model().startScan(false);
         if (!bw::test::waitFor([&] { return !window.model().isScanCancellationAvailable(); })) {
             faults.push_back(u"the scan never ends"_s);
         }
         return window.root().screen();
     },
     [](test::WindowHarness& window) {
         ASSERT_TRUE(bw::test::waitFor([&] {
             window.harness.clock.advance(std::chrono::seconds(1));
             return window.model().report().has_value();
         }));
     }},
    {"history after a filter change",
     [](test::WindowHarness& window, const ScanReport&, Faults&) {
         history(window).setFilter(report::ReportHistoryFilter::attention);
         return window.root().screen();
     }},
    {"history after a deletion",
     [](test::WindowHarness& window, const ScanReport& report, Faults&) {
         report::ReportHistoryView& view = history(window);
         const auto& reports = window.model().reports();
         const auto other = std::ranges::find_if(
             reports, [&](const ScanReport& saved) { return saved.id != report.id; });
         window.model().deleteReport(other->id);
         return static_cast<QWidget*>(&view);
     }},
    {"home", [](test::WindowHarness& window, const ScanReport&,
                Faults&) { return section(window, AppSection::scan); }},
    {"guidelines", [](test::WindowHarness& window, const ScanReport&,
                      Faults&) { return section(window, AppSection::guidelines); }},
    {"settings", [](test::WindowHarness& window, const ScanReport&,
                    Faults&) { return section(window, AppSection::settings); }},
    {"app actions",
     [](test::WindowHarness& window, const ScanReport& report, Faults& faults) {
         section(window, AppSection::scan);
         QWidget* row = tabTo([&](const QWidget& widget) {
             const auto* app = qobject_cast<const SidebarAppButton*>(&widget);
             return app && app->app().appName == report.metadata.appName;
         });
         return openActions(row, u"the app's row"_s, faults);
     },
     closePopup},
    {"report actions",
     [](test::WindowHarness& window, const ScanReport& report, Faults& faults) {
         history(window);
         QWidget* row = tabTo([&](const QWidget& widget) {
             const auto* saved = qobject_cast<const report::ReportHistoryRow*>(&widget);
             return saved && saved->report().id == report.id;
         });
         return openActions(row, u"the report's row"_s, faults);
     },
     closePopup},
    {"question before clearing",
     [](test::WindowHarness& window, const ScanReport&, Faults& faults) -> QWidget* {
         section(window, AppSection::settings);
         QWidget* clear = tabTo([](const QWidget& widget) {
             return widget.accessibleName() == u"Clear"_s && widget.isEnabled();
         });
         if (!clear) {
             faults.push_back(u"\"Clear\" cannot be reached with Tab"_s);
             return nullptr;
         }
         press(Qt::Key_Space);
         QWidget* question = popup();
         if (!question) {
             faults.push_back(u"Space on \"Clear\" asks no question"_s);
         }
         return question;
     },
     closePopup},
    {"about",
     [](test::WindowHarness& window, const ScanReport&, Faults&) {
         window.window->aboutAction()->trigger();
         return popup();
     },
     [](test::WindowHarness&) { press(Qt::Key_Escape); }},
};

TEST_F(KeyboardWalkTest, EveryScreenReadsInOrderWithARingOnEveryStop) {
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    for (const QSize size : sizes) {
        resizeWindow(size);
        for (const Screen& screen : screens) {
            const std::string where =
                u"%1 × %2, "_s.arg(size.width()).arg(size.height()).toStdString() + screen.name;
            Faults faults;
            QPointer<QWidget> region = screen.show(window(), report(), faults);
            settleScreen();
            if (region) {
                // Into the window (or popup) from where the focus stands, as a user who starts
                // typing.
                QTest::keyClick(keyTarget() ? keyTarget() : region.data(), Qt::Key_Tab);
                settleScreen();
                Regions regions{region};
                if (region->window() == window().window.get()) {
                    regions.emplace_back(window().root().sidebar());
                }
                std::ranges::copy(walkFaults(regions), std::back_inserter(faults));
                screen.close(window());
            }
            for (const QString& fault : faults) {
                ADD_FAILURE() << where << ": " << fault.toStdString();
            }
            settleScreen();
        }
        // The scans above added an app and the deletion took a report away.
        relaunchOverTheSuitesHistory();
        window().window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    }
    resizeWindow(sizes[1]);
}

// The reports of the history screen in the order listed.
std::vector<QUuid> listedIDs(const report::ReportHistoryView& view) {
    std::vector<QUuid> ids;
    for (const report::ReportHistorySection& day : view.list()->sections()) {
        for (const ScanReport* report : day.reports) {
            ids.push_back(report->id);
        }
    }
    return ids;
}

// Whether a control is the one named `name`, by its accessible name or its text.
std::function<bool(const QWidget&)> named(const QString& name) {
    return [name](const QWidget& widget) {
        const auto* button = qobject_cast<const QAbstractButton*>(&widget);
        return widget.accessibleName() == name || (button && button->text() == name);
    };
}

// From the focused entry of an actions popover: Tab to `entry`, Space, then in the question it
// opens, whose first button shows its ring, Tab to `action` and Space. False when a control is
// not reached. The focus then goes back to `main`, the window.
bool answerQuestion(QWidget& main, const QString& entry, const QString& action) {
    if (!tabTo(named(entry))) {
        return false;
    }
    press(Qt::Key_Space);
    if (const auto fault = ringFault(keyTarget(), u"the question's first button"_s)) {
        ADD_FAILURE() << entry.toStdString() << ": " << fault->toStdString();
    }
    if (!tabTo(named(action))) {
        return false;
    }
    press(Qt::Key_Space);
    main.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
    settleScreen();
    return true;
}

// Deletes the report listed at `place` as a keyboard user does once its menu is open (here with
// a right click): Tab to "Delete Report", Space, Tab to the dialog's "Delete report", Space.
// Returns the report's row that should then have the focus.
QWidget* deleteListed(report::ReportHistoryView& view, std::size_t place, std::size_t focused) {
    const std::vector<QUuid> ids = listedIDs(view);
    if (ids.size() <= std::max(place, focused)) {
        ADD_FAILURE() << "only " << ids.size() << " reports are listed";
        return nullptr;
    }
    QTest::mouseClick(view.list()->rowFor(ids[place]), Qt::RightButton);
    EXPECT_TRUE(popup());
    if (!answerQuestion(*view.window(), u"Delete Report"_s, u"Delete report"_s)) {
        return nullptr;
    }
    return view.list()->rowFor(ids[focused]);
}

// Deletes the app of the sidebar's row at `place` with the keys: Shift+F10 on its row, then
// "Delete App History" and "Delete". Returns the row, of those there before, that should then
// have the focus.
QWidget* deleteApp(test::WindowHarness& window, std::size_t place, std::size_t focused) {
    section(window, AppSection::scan);
    const std::vector<SidebarAppButton*> rows = window.root().sidebar()->appRows();
    if (rows.size() <= std::max(place, focused)) {
        ADD_FAILURE() << "only " << rows.size() << " apps are listed";
        return nullptr;
    }
    design::handFocus(*rows[place], true);
    press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(popup());
    if (!answerQuestion(*window.window, u"Delete App History"_s, u"Delete"_s)) {
        return nullptr;
    }
    return rows[focused];
}

// The control of `panel` that comes first after `text` as the page reads.
QWidget* nextControl(QWidget& panel, const QWidget& text) {
    QWidget* next = nullptr;
    for (QWidget* control : panel.findChildren<QWidget*>()) {
        const bool isStop = (control->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
                            control->isVisible() && control->isEnabled();
        if (isStop && readsAfter(placeOnPage(text), placeOnPage(*control)) &&
            (!next || readsAfter(placeOnPage(*control), placeOnPage(*next)))) {
            next = control;
        }
    }
    return next;
}

// Stages a build and starts its scan as a keyboard user does: Tab to "Scan build", Space.
bool scanWithTheKeys(test::WindowHarness& window) {
    section(window, AppSection::scan);
    window.harness.stage(bw::test::fixtureBuild(u"Clean.ipa"_s));
    if (!tabTo(named(u"Scan build"_s))) {
        return false;
    }
    press(Qt::Key_Space);
    return true;
}

// The control named `name` of the scan screen once it shows and the build's preview is in, the
// clock running on meanwhile (a staged build comes in after a moment, its preview later, and the
// action is made anew when it does); none if it never does.
QWidget* stagedAction(test::WindowHarness& window, const QString& name) {
    bw::test::waitFor([&] {
        window.harness.clock.advance(std::chrono::milliseconds(100));
        const auto& staged = window.model().staged();
        return staged && (staged->preview || staged->previewError) &&
               bw::test::named(window.root(), name, true) != nullptr;
    });
    settleScreen();
    return bw::test::named(window.root(), name, true);
}

// Where a page key leaves the keyboard on the guidelines: the guideline it is on, else any
// wholly in sight, which the fault then names.
QWidget* guidelineInSight(const GuidelinesView& view) {
    QWidget* focused = keyTarget();
    const std::vector<GuidelineRow*> rows = view.shownRows();
    const auto inSight =
        std::ranges::find_if(rows, [](const GuidelineRow* row) { return isWhollyInView(*row); });
    return std::ranges::find(rows, focused) != rows.end() || inSight == rows.end()
               ? focused
               : static_cast<QWidget*>(*inSight);
}

// After an action done with the keyboard the focus lands on a control that shows its ring,
// wholly in view, never on nothing or on a page or a control far from the action.
TEST_F(KeyboardWalkTest, AfterAnActionByKeyboardTheFocusLandsOnAControlWithItsRing) {
    const auto reportRow = [] {
        report::ReportHistoryView& view = history(window());
        return static_cast<QWidget*>(view.list()->rowFor(report().id));
    };
    const auto appRow = [] {
        return static_cast<QWidget*>(window().root().sidebar()->appRows().front());
    };
    const auto historyView = [] { return &history(window()); };
    // The report just shown comes in at its top, its first control taking the focus there.
    const auto reportsFirstControl = [] {
        const auto* view = window().root().screen()->findChild<report::ReportView*>();
        EXPECT_TRUE(view && view->scrollArea()->verticalScrollBar()->value() == 0)
            << "the report comes in scrolled";
        return design::firstTabStopIn(*window().root().screen());
    };
    // Each does its action and returns the control that should have the focus after it.
    const std::pair<const char*, std::function<QWidget*()>> actions[] = {
        {"Escape closing a report's menu opened while the keyboard is on \"Reports\"",
         [&] {
             QWidget* row = reportRow();
             window()
                 .root()
                 .sidebar()
                 ->destination(AppSection::recents)
                 ->setFocus(Qt::TabFocusReason);
             QTest::mouseClick(row, Qt::RightButton);
             EXPECT_TRUE(popup());
             press(Qt::Key_Escape);
             return row;
         }},
        {"Escape closing an app's menu",
         [&] {
             QWidget* row = appRow();
             QTest::mouseClick(row, Qt::RightButton);
             EXPECT_TRUE(popup());
             press(Qt::Key_Escape);
             return row;
         }},
        {"Escape closing an app's menu opened with the keyboard from its \"App actions\": it",
         [&] {
             auto* more = bw::test::named(*appRow(), u"App actions"_s);
             if (!more) {
                 return static_cast<QWidget*>(nullptr);
             }
             design::handFocus(*more, true);
             press(Qt::Key_Space);
             EXPECT_TRUE(popup());
             press(Qt::Key_Escape);
             return more;
         }},
        {"deleting a report: the next row", [&] { return deleteListed(*historyView(), 1, 2); }},
        {"deleting the last report listed: the row before",
         [&] {
             report::ReportHistoryView* view = historyView();
             const std::size_t last = listedIDs(*view).size() - 1;
             return deleteListed(*view, last, last - 1);
         }},
        {"deleting an app: the next app's row", [] { return deleteApp(window(), 1, 2); }},
        {"deleting the last app: the app before",
         [] {
             const std::size_t last = window().root().sidebar()->appRows().size() - 1;
             return deleteApp(window(), last, last - 1);
         }},
        {"Return on a report's row: the report's first control",
         [&] {
             QWidget* row = reportRow();
             design::handFocus(*row, true);
             press(Qt::Key_Return);
             bw::test::waitFor([] { return window().model().report().has_value(); }, 5);
             settleScreen();
             // Every finding in sight is built, not only those near what showed before the
             // page had its height.
             if (auto* view = window().root().screen()->findChild<report::ReportView*>()) {
                 const report::FindingList& list = *view->findingList();
                 const QWidget& viewport = *view->scrollArea()->viewport();
                 const QRect seen(list.mapFrom(&viewport, QPoint()), viewport.size());
                 for (std::size_t i = 0; list.rowRect(i).intersects(seen); ++i) {
                     EXPECT_NE(list.builtRow(i), nullptr) << "finding " << i << " in sight";
                 }
             }
             return reportsFirstControl();
         }},
        {"clearing the history: the first control of its page",
         [] {
             section(window(), AppSection::settings);
             if (!tabTo(
                     [](const QWidget& widget) { return widget.accessibleName() == u"Clear"_s; })) {
                 return static_cast<QWidget*>(nullptr);
             }
             press(Qt::Key_Space);
             if (!tabTo([](const QWidget& widget) {
                     const auto* button = qobject_cast<const QAbstractButton*>(&widget);
                     return button && button->text() == u"Clear History"_s;
                 })) {
                 return static_cast<QWidget*>(nullptr);
             }
             press(Qt::Key_Space);
             window().window->activateWindow();
             EXPECT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
             settleScreen();
             return bw::test::named(window().root(), u"Reveal"_s, true);
         }},
        {"About opened from the menu bar (Alt, Down, Return), then Escape: where the focus was",
         [] {
             section(window(), AppSection::settings);
             QWidget* reveal = tabTo(named(u"Reveal"_s));
             const QImage bar = window().window->menuBar()->grab().toImage();
             press(Qt::Key_Alt);
             EXPECT_NE(window().window->menuBar()->grab().toImage(), bar) << "Alt marks no menu";
             press(Qt::Key_Down);
             press(Qt::Key_Return);
             if (const auto fault = ringFault(keyTarget(), u"About's \"OK\""_s)) {
                 ADD_FAILURE() << fault->toStdString();
             }
             press(Qt::Key_Escape);
             window().window->activateWindow();
             EXPECT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
             return reveal;
         }},
        {"Space on \"Scan build\": the report's first control",
         [&] {
             EXPECT_TRUE(scanWithTheKeys(window()));
             EXPECT_TRUE(bw::test::waitFor([] {
                 window().harness.clock.advance(std::chrono::seconds(1));
                 return window().model().report().has_value();
             }));
             settleScreen();
             return reportsFirstControl();
         }},
        {"a build typed in the file chooser, then Return: \"Scan build\"",
         [] {
             section(window(), AppSection::scan);
             QTimer answer;
             answerChooser(answer, bw::test::fixtureBuild(u"Clean.ipa"_s));
             if (tabTo(named(u"Choose a build to review"_s))) {
                 press(Qt::Key_Space);
             }
             // The window has the keys again without being brought forward.
             EXPECT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
             return stagedAction(window(), u"Scan build"_s);
         }},
        {"an image typed in a phone's file chooser, then Return: the phone",
         [] {
             QTimer answer;
             answerChooser(answer, window().harness.screenshot(u"Paywall.png"_s));
             if (tabTo(named(u"Paywall, not added"_s))) {
                 press(Qt::Key_Space);
             }
             EXPECT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
             settleScreen();
             // The phone, not the slot round it, which bears the same name.
             for (QWidget* phone : window().root().findChildren<QWidget*>()) {
                 if (phone->accessibleName() == u"Paywall, screenshot added"_s &&
                     design::isTabStop(*phone)) {
                     return phone;
                 }
             }
             return static_cast<QWidget*>(nullptr);
         }},
        // The next row's launch brings back the default size.
        {"Page Down on the staged page at the smallest size from \"App Store images\": a "
         "control in sight",
         [] {
             resizeWindow(sizes[0]);
             tabTo(named(u"App Store images"_s));
             press(Qt::Key_PageDown);
             return keyTarget();
         }},
        // The first phone stands at the start of its row, which scrolls sideways: it shows
        // whole there, with its ring, though the row has no room before it.
        {"Page Down on the staged page at the smallest size from the first phone: the phone",
         [] {
             resizeWindow(sizes[0]);
             QWidget* phone = tabTo(named(u"Paywall, screenshot added"_s));
             press(Qt::Key_PageDown);
             return phone;
         }},
        // "Scan build" has the focus after the cancel, and keeps its place before the switch.
        {"\"Cancel scan\", then Tab: \"App Store images\"",
         [] {
             // The scan's extraction (not the preview's) holds until cancelled.
             window().harness.tools = window().harness.folder.tools(
                 {{u"ditto"_s, "'" BW_LIBEXEC_DIR "/ditto' \"$@\" || exit\ncase \"$*\" in "
                               "*/Berthwatch-[0-9A-F]*) sleep 60;; esac"}});
             relaunchOverTheSuitesHistory();
             window().harness.tools = QStringLiteral(BW_LIBEXEC_DIR);
             window().window->activateWindow();
             EXPECT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
             if (scanWithTheKeys(window()) && tabTo(named(u"Cancel scan"_s))) {
                 press(Qt::Key_Space);
             }
             EXPECT_TRUE(bw::test::waitFor([] { return !window().model().isScanRunning(); }));
             stagedAction(window(), u"Scan build"_s);
             press(Qt::Key_Tab);
             return stagedAction(window(), u"App Store images"_s);
         }},
        {"\"Scan another build\": the drop card",
         [] {
             window().model().openReport(report());
             // The report may still be coming in on a loaded machine; Space anywhere else could
             // open the real file chooser and wait for good.
             EXPECT_TRUE(bw::test::waitFor(
                 [] { return bw::test::named(window().root(), u"Scan another build"_s, true); },
                 5));
             if (!tabTo([](const QWidget& widget) {
                     return widget.accessibleName() == u"Scan another build"_s;
                 })) {
                 return static_cast<QWidget*>(nullptr);
             }
             press(Qt::Key_Space);
             // The home screen comes in on a later turn, later still on a loaded machine.
             const auto card = [] {
                 return bw::test::named(window().root(), u"Choose a build to review"_s, true);
             };
             bw::test::waitFor([&] { return card() != nullptr; }, 5);
             return card();
         }},
        {"Tab from a word selected in a finding's detail: the panel's next control",
         [] {
             window().model().openReport(report());
             settleScreen();
             auto* view = window().root().screen()->findChild<report::ReportView*>();
             const Finding finding = view->visibleFindings().front();
             window().model().setSelectedFindingID(finding.id);
             settleScreen();
             QWidget* panel = view->findingList()->builtRow(0)->panel();
             auto* detail = bw::test::named<report::ReadingText>(*panel, finding.detail);
             EXPECT_TRUE(detail && isWhollyInView(*detail));
             if (!detail) {
                 return static_cast<QWidget*>(nullptr);
             }
             QTest::mouseDClick(detail->viewport(), Qt::LeftButton, {}, QPoint(12, 8));
             settleScreen();
             EXPECT_FALSE(detail->textCursor().selectedText().isEmpty());
             QWidget* next = nextControl(*panel, *detail);
             press(Qt::Key_Tab);
             return next;
         }},
        {"Page Down from the guidelines' search field: a guideline in sight",
         [] {
             auto* view = qobject_cast<GuidelinesView*>(section(window(), AppSection::guidelines));
             if (!view || !tabTo([](const QWidget& widget) {
                     return widget.accessibleName() == u"Search guidelines"_s;
                 })) {
                 return static_cast<QWidget*>(nullptr);
             }
             press(Qt::Key_PageDown);
             return guidelineInSight(*view);
         }},
        // Where less than a page is left, the page goes all the way, whatever its top edge cuts.
        {"Page Down at the smallest size from the guidelines' search field over a short list: "
         "the page at its end, the field or a guideline in sight",
         [] {
             resizeWindow(sizes[0]);
             section(window(), AppSection::settings);
             auto* view = qobject_cast<GuidelinesView*>(section(window(), AppSection::guidelines));
             QWidget* field = tabTo(named(u"Search guidelines"_s));
             if (!view) {
                 return static_cast<QWidget*>(nullptr);
             }
             QTest::keyClicks(field, u"data"_s);
             settleScreen();
             press(Qt::Key_PageDown);
             const QScrollBar* bar = view->findChild<QScrollArea*>()->verticalScrollBar();
             EXPECT_GT(bar->maximum(), 0) << "the short list fits: nothing to scroll";
             EXPECT_EQ(bar->value(), bar->maximum());
             return keyTarget() == field ? field : guidelineInSight(*view);
         }},
    };
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    for (const auto& [name, act] : actions) {
        QPointer<QWidget> expected = act();
        const QString expectedName = expected ? nameOf(*expected) : u"a control"_s;
        if (const auto fault = ringFault(expected, expectedName)) {
            ADD_FAILURE() << name << ": " << fault->toStdString();
        }
    }
    relaunchOverTheSuitesHistory();
}

// A click takes away the ring that the keyboard left, also where the click moves no focus.
TEST_F(KeyboardWalkTest, AClickTakesAwayTheRingOfTheKeyboard) {
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    section(window(), AppSection::scan);
    QWidget* guidelines = window().root().sidebar()->destination(AppSection::guidelines);
    ASSERT_TRUE(tabTo([&](const QWidget& widget) { return &widget == guidelines; }));
    ASSERT_TRUE(design::showsFocusRing(*guidelines));
    QTest::mouseClick(window().root().sidebar()->destination(AppSection::recents), Qt::LeftButton);
    settleScreen();
    EXPECT_EQ(window().model().section(), AppSection::recents);
    for (QWidget* widget : window().window->findChildren<QWidget*>()) {
        EXPECT_FALSE(design::showsFocusRing(*widget)) << nameOf(*widget).toStdString();
    }
    // From inside a report, a screen brought by a click leaves its search field alone.
    for (const AppSection clicked : {AppSection::recents, AppSection::guidelines}) {
        window().model().openReport(report());
        settleScreen();
        QWidget* first = design::firstTabStopIn(*window().root().screen());
        ASSERT_TRUE(tabTo([&](const QWidget& widget) { return &widget == first; }));
        QTest::mouseClick(window().root().sidebar()->destination(clicked), Qt::LeftButton);
        settleScreen();
        EXPECT_EQ(window().model().section(), clicked);
        EXPECT_FALSE(qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            << "the search field takes the focus";
    }
    // Escape closing a menu the pointer opened leaves the bar lit and holding the keys; another
    // screen, or a click where no focus goes, lets it go.
    QMenuBar& bar = *window().window->menuBar();
    const std::pair<const char*, std::function<void()>> lettingGo[] = {
        {"another screen", [] { window().model().setSection(AppSection::settings); }},
        {"a click on the toolbar",
         [] {
             QWidget& root = window().root();
             QTest::mouseClick(&root, Qt::LeftButton, {}, QPoint(root.width() / 2 - 100, 12));
         }},
    };
    for (const auto& [name, letGo] : lettingGo) {
        QTest::mouseClick(&bar, Qt::LeftButton, {},
                          bar.actionGeometry(bar.actions().back()).center());
        ASSERT_TRUE(popup()) << name;
        press(Qt::Key_Escape);
        ASSERT_TRUE(bar.hasFocus() && bar.activeAction()) << name << ": the bar is not held";
        letGo();
        settleScreen();
        EXPECT_FALSE(bar.hasFocus()) << name;
        EXPECT_EQ(bar.activeAction(), nullptr) << name;
    }
}

// A message that appears on the staged build's page shows whole and cuts no heading, at the
// smallest window and the default one.
TEST_F(KeyboardWalkTest, AMessageShowsWholeLeavingNoHeadingCut) {
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
        // The metadata row of a narrow window scrolls sideways on its own: a cell may be out of
        // view there, never cut from above or below.
        for (const QWidget* heading : headings) {
            const QSize seen = seenSize(*heading);
            EXPECT_TRUE(seen.isEmpty() || seen.height() == heading->height())
                << size.width() << "×" << size.height() << (explained ? " explained" : "") << ": "
                << heading->metaObject()->className() << " shows " << seen.height() << " of "
                << heading->height();
        }
    }
    window().window->resize(QSize(1120, 760) + QSize(0, window().window->menuBar()->height()));
}

// A history of `count` reports an hour apart, newest first: today, the past week and earlier.
std::vector<ScanReport> longHistory(int count) {
    std::vector<ScanReport> reports = bw::test::sampleHistory(count, false);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < count; ++i) {
        reports[std::size_t(i)].createdAt = now.addSecs(-3600 * i);
    }
    return reports;
}

// Where the row with the focus stands in the history list, if the focus is on one.
std::optional<std::size_t> focusedPlace(const report::ReportHistoryView& view) {
    const auto* row = qobject_cast<const report::ReportHistoryRow*>(keyTarget());
    if (!row || !view.list()->isAncestorOf(row)) {
        return std::nullopt;
    }
    const std::vector<QUuid> ids = listedIDs(view);
    return std::size_t(std::ranges::find(ids, row->report().id) - ids.begin());
}

// Whether the focus is on the row at `place`, wholly in view with its ring; else a fault.
// `looked` measures the ring's pixels too.
std::optional<QString> rowFault(const report::ReportHistoryView& view, std::size_t place,
                                bool looked = false) {
    const std::optional<std::size_t> focused = focusedPlace(view);
    if (focused != place) {
        return u"the focus is on "_s +
               (focused ? u"row %1"_s.arg(*focused + 1)
                        : (keyTarget() ? nameOf(*keyTarget()) : u"nothing"_s)) +
               u", not row %1"_s.arg(place + 1);
    }
    QWidget& row = *keyTarget();
    if (!isWhollyInView(row)) {
        return u"row %1 is not wholly in view"_s.arg(place + 1);
    }
    if (!design::showsFocusRing(row) || (looked && !showsVisibleRing(row))) {
        return u"row %1 shows no ring"_s.arg(place + 1);
    }
    return std::nullopt;
}

// Scrolls the history with the mouse wheel over its middle until `done`, or as far as it goes.
void wheelUntil(const report::ReportHistoryView& view, int delta,
                const std::function<bool()>& done) {
    QWidget* viewport = view.scrollArea()->viewport();
    QScrollBar* bar = view.scrollArea()->verticalScrollBar();
    for (int turn = 0; turn < 200 && !done(); ++turn) {
        const int before = bar->value();
        const QPoint at = viewport->rect().center();
        QWheelEvent wheel(at, viewport->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        bw::test::settle();
        if (bar->value() == before) {
            break;
        }
    }
    settleScreen();
}

// A history longer than the rows the list builds for a screenful, so its rows are reused as the
// focus goes, walked with the keys at the three window sizes: Tab, Shift+Tab and the arrows reach
// every report once in list order each way, each row wholly in view with its ring; End, Page
// Down, a wheel scroll and the list shown anew leave the focus on a row from which Tab goes on in
// list order; Tab from the stop before the list comes to the first report wherever the list is
// scrolled.
TEST_F(KeyboardWalkTest, EveryReportOfALongHistoryIsReachedInOrderEachWay) {
    constexpr int count = 60;
    window().relaunch(longHistory(count));
    window().window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window().window.get()));
    // Each starts with the keyboard on the first row (the last, `fromLast`), presses its keys,
    // and gives the place the focus should be on then.
    struct Case {
        const char* name;
        bool fromLast;
        std::function<std::size_t(report::ReportHistoryView&, Faults&)> keys;
    };
    // Presses `key` over every row to the other end, each reached in turn.
    const auto walk = [](int key, Qt::KeyboardModifiers modifiers) {
        return [=](report::ReportHistoryView& view, Faults& faults) {
            const bool forward = modifiers == Qt::NoModifier && key != Qt::Key_Up;
            const std::size_t end = forward ? count - 1 : 0;
            for (std::size_t step = 1; step < std::size_t(count); ++step) {
                press(key, modifiers);
                const std::size_t expected = forward ? step : count - 1 - step;
                if (const auto fault = rowFault(view, expected)) {
                    faults.push_back(*fault);
                    return expected;
                }
            }
            return end;
        };
    };
    const Case cases[] = {
        {"Tab from the first row", false, walk(Qt::Key_Tab, Qt::NoModifier)},
        {"Shift+Tab from the last row", true, walk(Qt::Key_Tab, Qt::ShiftModifier)},
        {"Down from the first row", false, walk(Qt::Key_Down, Qt::NoModifier)},
        {"Up from the last row", true, walk(Qt::Key_Up, Qt::NoModifier)},
        {"End, then Shift+Tab", false,
         [](report::ReportHistoryView& view, Faults& faults) {
             press(Qt::Key_End);
             if (const auto fault = rowFault(view, count - 1, true)) {
                 faults.push_back(u"after End: "_s + *fault);
             }
             press(Qt::Key_Tab, Qt::ShiftModifier);
             return std::size_t(count - 2);
         }},
        {"Page Down, then Tab", false,
         [](report::ReportHistoryView& view, Faults& faults) {
             press(Qt::Key_PageDown);
             const std::optional<std::size_t> landed = focusedPlace(view);
             if (!landed || *landed == 0) {
                 faults.push_back(u"after Page Down the focus is not on a row further down"_s);
                 return std::size_t(1);
             }
             if (const auto fault = rowFault(view, *landed)) {
                 faults.push_back(u"after Page Down: "_s + *fault);
             }
             press(Qt::Key_Tab);
             return *landed + 1;
         }},
        {"a wheel scroll to the end, then Tab", false,
         [](report::ReportHistoryView& view, Faults& faults) {
             QScrollBar* bar = view.scrollArea()->verticalScrollBar();
             wheelUntil(view, -240, [&] { return bar->value() == bar->maximum(); });
             if (bar->value() != bar->maximum()) {
                 faults.push_back(
                     u"the wheel scrolls to %1 of %2"_s.arg(bar->value()).arg(bar->maximum()));
             }
             if (focusedPlace(view) != 0) {
                 faults.push_back(u"the wheel takes the focus off its row"_s);
             }
             press(Qt::Key_Tab);
             return std::size_t(1);
         }},
        {"a wheel scroll to the top, a click on a verdict chip, then Shift+Tab", true,
         [](report::ReportHistoryView& view, Faults& faults) {
             wheelUntil(view, 240,
                        [&] { return view.scrollArea()->verticalScrollBar()->value() == 0; });
             QTest::mouseClick(view.filterButton(report::ReportHistoryFilter::attention),
                               Qt::LeftButton);
             settleScreen();
             if (focusedPlace(view) != count - 1) {
                 faults.push_back(u"the list shown anew takes the focus off its row"_s);
             }
             press(Qt::Key_Tab, Qt::ShiftModifier);
             return std::size_t(count - 2);
         }},
        {"a wheel scroll to the middle, then Tab from the stop before the list", false,
         [](report::ReportHistoryView& view, Faults&) {
             QScrollBar* bar = view.scrollArea()->verticalScrollBar();
             // The last verdict chip.
             design::handFocus(*view.filterButton(std::end(report::reportHistoryFilters)[-1]),
                               true);
             wheelUntil(view, -240, [&] { return bar->value() >= bar->maximum() / 2; });
             press(Qt::Key_Tab);
             return std::size_t(0);
         }},
    };
    for (const QSize size : sizes) {
        resizeWindow(size);
        for (const auto& [name, fromLast, keys] : cases) {
            report::ReportHistoryView& view = history(window());
            const std::vector<QUuid> ids = listedIDs(view);
            ASSERT_EQ(ids.size(), std::size_t(count));
            QScrollBar* bar = view.scrollArea()->verticalScrollBar();
            bar->setValue(fromLast ? bar->maximum() : 0);
            settleScreen();
            report::ReportHistoryRow* start = view.list()->rowFor(ids[fromLast ? count - 1 : 0]);
            ASSERT_NE(start, nullptr);
            design::handFocus(*start, true);
            settleScreen();
            Faults faults;
            const std::size_t expected = keys(view, faults);
            if (const auto fault = rowFault(view, expected, true); fault && faults.empty()) {
                faults.push_back(*fault);
            }
            for (const QString& fault : faults) {
                ADD_FAILURE() << size.width() << " × " << size.height() << ", " << name << ": "
                              << fault.toStdString();
            }
        }
    }
    relaunchOverTheSuitesHistory();
    resizeWindow(sizes[1]);
}

} // namespace
} // namespace bw::window
