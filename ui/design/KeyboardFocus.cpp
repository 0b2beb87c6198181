#include "ui/design/KeyboardFocus.h"

#include "ui/design/FocusInView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

namespace bw::design {

namespace {

constexpr char keyboardFocusProperty[] = "bw.keyboardFocus";

// Whether the last key or button pressed was a key.
bool isKeyboardInUse = false;

// Forgets that the keyboard brought the focus to `widget`.
void forgetKeyboardFocus(QWidget& widget) {
    widget.setProperty(keyboardFocusProperty, false);
    widget.update();
}

class FocusTracker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            isKeyboardInUse = true;
            noteTabThatStays(*watched, *static_cast<QKeyEvent*>(event));
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::TouchBegin:
            isKeyboardInUse = false;
            // A click that leaves the focus where the keyboard brought it takes the ring away.
            if (QWidget* focused = QApplication::focusWidget();
                focused && showsFocusRing(*focused)) {
                forgetKeyboardFocus(*focused);
            }
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            if (watched->isWidgetType()) {
                note(*watched, *static_cast<QFocusEvent*>(event));
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Tab in a window with a single stop leaves the focus where it is, so no focus event says the
    // keyboard is on that stop; once the key has done its work, a focus that stayed counts as
    // brought by the keyboard.
    static void noteTabThatStays(QObject& watched, const QKeyEvent& event) {
        if ((event.key() != Qt::Key_Tab && event.key() != Qt::Key_Backtab) ||
            &watched != QApplication::focusWidget()) {
            return;
        }
        QWidget* focused = QApplication::focusWidget();
        QTimer::singleShot(0, focused, [focused] {
            if (focused->hasFocus()) {
                focused->setProperty(keyboardFocusProperty, true);
                focused->update();
            }
        });
    }

    void note(QObject& widget, const QFocusEvent& event) {
        const Qt::FocusReason reason = event.reason();
        // The window going back and forth, and the menu bar taking the keys and handing them
        // back, take the focus away and give it back as it was.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::MenuBarFocusReason) {
            return;
        }
        // A popup closing gives the focus back to where it was: with its ring when the popup
        // was closed from the keyboard (Escape, Return on an entry), not after a click.
        if (reason == Qt::PopupFocusReason && event.gotFocus()) {
            widget.setProperty(keyboardFocusProperty, isKeyboardInUse);
            return;
        }
        // Qt also moves the focus "as by Tab" when the focused widget is hidden or disabled:
        // that counts only while the user is on the keyboard, not after a click.
        const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                           reason == Qt::ShortcutFocusReason;
        widget.setProperty(keyboardFocusProperty, event.gotFocus() && byTab && isKeyboardInUse);
        // Wherever the keyboard moves the focus, the user must see it.
        if (event.gotFocus() && isKeyboardInUse) {
            revealFocus(static_cast<QWidget&>(widget));
        }
    }
};

class ReturnActivation : public QObject {
public:
    explicit ReturnActivation(QAbstractButton& button) : QObject(&button), button_(button) {
        button.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &button_ || event->type() != QEvent::KeyPress || !button_.hasFocus()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier)) {
            return false;
        }
        button_.animateClick();
        return true;
    }

private:
    QAbstractButton& button_;
};

} // namespace

bool showsFocusRing(const QWidget& widget) {
    return widget.hasFocus() && widget.property(keyboardFocusProperty).toBool();
}

void focusAfterKeyboardAction(QWidget& widget) {
    // After the focus event, which counts only Tab; the window may also still be inactive (a
    // dialog just closed) and hand the focus over later.
    if (isKeyboardInUse) {
        handFocus(widget, true);
    }
}

void revealAfterKeyboardAction(QWidget& stop, QWidget& result) {
    if (isKeyboardInUse) {
        followIntoView(stop, result);
    }
}

void handFocus(QWidget& widget, bool isRinged) {
    widget.setFocus(Qt::OtherFocusReason);
    widget.setProperty(keyboardFocusProperty, isRinged);
    widget.update();
    // A ring the keyboard carries must be seen, as for every focus it moves; the window may be
    // inactive still, when no focus event comes to bring it into view.
    if (isRinged) {
        revealFocus(widget);
    }
}

void handOpeningFocus(QWidget& widget) {
    handFocus(widget, isKeyboardInUse);
}

void passFocusOn(const QWidget& leaving, QWidget& next) {
    // The window's own focus, not the application's: a dialog that has just closed (the file
    // chooser) may still hold that.
    const QWidget* focus = leaving.window()->focusWidget();
    if (!focus || (focus != &leaving && !leaving.isAncestorOf(focus))) {
        return;
    }
    // The keyboard goes on to the first control with its ring; after a click `next` holds the
    // focus itself, so that no control (a search field's caret) looks taken that was not.
    if (QWidget* stop = isKeyboardInUse ? firstTabStopIn(next) : nullptr) {
        handFocus(*stop, true);
    } else {
        handFocus(next, false);
    }
}

void holdFocusFor(const QWidget& control, QWidget& holder) {
    if (control.window()->focusWidget() == &control) {
        holder.setFocus(Qt::OtherFocusReason);
    }
}

bool isTabStop(const QWidget& widget) {
    return (widget.focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget.isVisible() &&
           widget.isEnabled();
}

QWidget* firstTabStopIn(QWidget& widget) {
    const QWidget* window = widget.window();
    for (QWidget* next = window->nextInFocusChain(); next != window;
         next = next->nextInFocusChain()) {
        if (isTabStop(*next) && widget.isAncestorOf(next)) {
            return next;
        }
    }
    return nullptr;
}

void chainTabStops(QWidget* anchor, const std::vector<QWidget*>& stops) {
    QWidget* previous = anchor;
    for (QWidget* stop : stops) {
        if (previous) {
            QWidget::setTabOrder(previous, stop);
        }
        previous = stop;
    }
}

std::vector<QWidget*> focusChainIn(QWidget& widget) {
    QList<QWidget*> parts = widget.findChildren<QWidget*>();
    parts.prepend(&widget);
    std::vector<QWidget*> chain;
    for (QWidget* part : parts) {
        if (part->focusPolicy() != Qt::NoFocus) {
            chain.push_back(part);
        }
    }
    return chain;
}

QWidget* tabStopBefore(const QWidget& widget) {
    for (QWidget* before = widget.previousInFocusChain(); before && before != &widget;
         before = before->previousInFocusChain()) {
        if (before->focusPolicy() != Qt::NoFocus && !widget.isAncestorOf(before)) {
            return before;
        }
    }
    return nullptr;
}

void activateOnReturn(QAbstractButton& button) {
    new ReturnActivation(button);
}

void trackKeyboardFocus(QApplication& application) {
    const QString name = QStringLiteral("bw.focusTracker");
    if (!application.findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) {
        auto* tracker = new FocusTracker(&application);
        tracker->setObjectName(name);
        application.installEventFilter(tracker);
    }
}

} // namespace bw::design
