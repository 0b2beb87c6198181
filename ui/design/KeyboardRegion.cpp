#include "ui/design/KeyboardRegion.h"

#include "ui/design/FocusInView.h"
#include "ui/design/KeyboardFocus.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>

namespace bw::design {

namespace {

constexpr char regionProperty[] = "bw.keyboardRegion";

QWidget* regionOf(QWidget& widget) {
    for (QWidget* part = &widget; part && !part->isWindow(); part = part->parentWidget()) {
        if (part->property(regionProperty).toBool()) {
            return part;
        }
    }
    return nullptr;
}

// The next (or previous) stop of `region` after `from` in the window's Tab order; none past its
// ends, where the order comes round through the window itself.
QWidget* neighbourStop(QWidget& from, const QWidget& region, bool forward) {
    for (QWidget* next = forward ? from.nextInFocusChain() : from.previousInFocusChain();
         next && next != &from && !next->isWindow();
         next = forward ? next->nextInFocusChain() : next->previousInFocusChain()) {
        if (region.isAncestorOf(next) && isTabStop(*next)) {
            return next;
        }
    }
    return nullptr;
}

// Buttons in a group or exclusive set keep Qt's own arrows, which move within the set.
bool walksTheWindow(const QAbstractButton& button) {
    return !button.autoExclusive() && !button.group();
}

class ArrowKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    // Sees each key as it travels from the focused control up to the window.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focused = QApplication::focusWidget();
        if (!focused) {
            return false;
        }
        // Mirrored, the reading goes on to the left.
        const bool mirrored = focused->isRightToLeft();
        const int onward = mirrored ? Qt::Key_Left : Qt::Key_Right;
        const int back = mirrored ? Qt::Key_Right : Qt::Key_Left;
        const bool forward = key->key() == Qt::Key_Down || key->key() == onward;
        const bool backward = key->key() == Qt::Key_Up || key->key() == back;
        if ((!forward && !backward) || (key->modifiers() & ~Qt::KeypadModifier)) {
            return false;
        }
        // A button would walk the whole window's Tab order; a key that the focused control left
        // alone reaches its region, unless a scroll area on the way (a row that scrolls
        // sideways) takes it to scroll.
        auto* widget = static_cast<QWidget*>(watched);
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        const bool walks = widget == focused && button && walksTheWindow(*button);
        const bool unused = (widget->property(regionProperty).toBool() ||
                             qobject_cast<QAbstractScrollArea*>(widget)) &&
                            widget->isAncestorOf(focused);
        QWidget* region = walks || unused ? regionOf(*focused) : nullptr;
        if (!region) {
            return false;
        }
        if (QWidget* next = neighbourStop(*focused, *region, forward)) {
            // The focus tracker brings it into view, as for Tab.
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        }
        return true;
    }
};

// The stop of the scrolled content wholly in sight that comes first (or last) in Tab order.
QWidget* stopInSight(const QWidget& viewport, bool last) {
    QWidget* found = nullptr;
    QWidget* window = viewport.window();
    for (QWidget* next = window->nextInFocusChain(); next != window;
         next = next->nextInFocusChain()) {
        if (viewport.isAncestorOf(next) && isTabStop(*next) && isShownWhole(*next)) {
            found = next;
            if (!last) {
                break;
            }
        }
    }
    return found;
}

// Scrolls, and a control of the content that had the focus keeps it while still in sight;
// otherwise the focus goes to the stop in sight nearest the way the page went, or to `page`
// itself where none is in sight, so that no key acts on a control out of sight. A text field
// too: letters typed must not go into a field out of sight. The focus stays on its control
// through the scroll: a list that builds its rows as it scrolls keeps the focused one, where a
// row given up would be reused for another item that may then lie in sight.
void scrollKeepingFocusInSight(QWidget& page, QAbstractScrollArea& scroll,
                               QAbstractSlider::SliderAction action, bool down) {
    QWidget* viewport = scroll.viewport();
    QPointer<QWidget> focused = QApplication::focusWidget();
    const bool moves = focused && viewport->isAncestorOf(focused);
    scroll.verticalScrollBar()->triggerAction(action);
    if (!moves) {
        return;
    }
    if (QWidget* next =
            focused && isShownWhole(*focused) ? focused.data() : stopInSight(*viewport, down)) {
        next->setFocus(down ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    } else {
        page.setFocus(Qt::OtherFocusReason);
    }
}

} // namespace

void keepArrowsWithin(QWidget& region) {
    region.setProperty(regionProperty, true);
    const QString name = QStringLiteral("bw.arrowKeeper");
    if (!qApp->findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) {
        auto* keeper = new ArrowKeeper(qApp);
        keeper->setObjectName(name);
        qApp->installEventFilter(keeper);
    }
}

void scrollWithPageKeys(QWidget& page, QAbstractScrollArea& scroll) {
    keepArrowsWithin(page);
    const std::pair<Qt::Key, QAbstractSlider::SliderAction> keys[] = {
        {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
        {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
        {Qt::Key_Home, QAbstractSlider::SliderToMinimum},
        {Qt::Key_End, QAbstractSlider::SliderToMaximum},
    };
    for (const auto& [key, action] : keys) {
        // A shortcut of the window, so the keys reach the page from wherever the focus is; it
        // holds only while the page is shown, and a text field that uses the key takes it first.
        auto* shortcut = new QShortcut(QKeySequence(key), &scroll);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &scroll,
                         [&page, &scroll, action = action] {
                             const bool down = action == QAbstractSlider::SliderPageStepAdd ||
                                               action == QAbstractSlider::SliderToMaximum;
                             scrollKeepingFocusInSight(page, scroll, action, down);
                         });
    }
}

} // namespace bw::design
