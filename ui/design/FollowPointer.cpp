#include "ui/design/FollowPointer.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace bw::design {

namespace {

constexpr char pendingProperty[] = "bwFollowPointerPending";
constexpr char afterDropLook[] = "bwPointerAfterDrop";
constexpr int afterDropLookMs = 50;
// Each look is a round trip to the display server: a hand still for longer than this is left to
// the window system, whose next event about the pointer Qt follows as usual.
constexpr int afterDropLookForMs = 2000;

// Whether the pointer at `global` is within `widget` and each widget holding it, none of them
// hidden or letting the pointer through, as Qt's childAt finds widgets (but for a sibling over
// it): this asks only the widgets on the way, where childAt asks every child of each.
bool isOver(const QWidget& widget, QPoint global) {
    QPoint at = widget.mapFromGlobal(global);
    const QWidget* each = &widget;
    for (; !each->isWindow(); each = each->parentWidget()) {
        if (each->isHidden() || each->testAttribute(Qt::WA_TransparentForMouseEvents) ||
            !each->rect().contains(at)) {
            return false;
        }
        at = each->mapToParent(at);
    }
    return each->rect().contains(at);
}

// Qt marks a widget as under the pointer as it sends the enter (or a drag's enter) and unmarks
// it with the leave. The widgets that heard an enter are kept here, so that finding the marked
// ones costs the same however many widgets a window holds (thousands of sidebar rows); `marked`
// also forgets those no longer marked.
QList<QPointer<QWidget>>& entered() {
    static QList<QPointer<QWidget>> widgets;
    return widgets;
}

const QList<QPointer<QWidget>>& marked() {
    entered().removeIf(
        [](const QPointer<QWidget>& widget) { return !widget || !widget->underMouse(); });
    return entered();
}

int depth(const QWidget* widget) {
    int levels = 0;
    for (; widget; widget = widget->parentWidget()) {
        ++levels;
    }
    return levels;
}

// A leave Qt never sends (a dialog blocks it, a popup keeps the pointer from the window, a drop
// ends without one) leaves the mark, and the widget lit, for good: every marked widget of
// `window` that the pointer at `global` is not over (none, when it is over another window) hears
// the pointer leave, innermost first.
void leaveWhatThePointerLeft(QWidget& window, QPoint global, bool overWindow) {
    QList<QPointer<QWidget>> left;
    for (const QPointer<QWidget>& widget : marked()) {
        if (widget->window() == &window && !(overWindow && isOver(*widget, global))) {
            left.append(widget);
        }
    }
    std::ranges::sort(left, std::ranges::greater(),
                      [](const QPointer<QWidget>& widget) { return depth(widget); });
    for (const QPointer<QWidget>& widget : left) {
        if (widget) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(widget, &leave);
        }
    }
}

void placePointer(QWidget& window) {
    window.setProperty(pendingProperty, false);
    QWindow* handle = window.windowHandle();
    // While a button is held the pressed widget keeps the pointer, as Qt has it; a dialog that
    // blocks the window or a popup over it has it, and places it anew when it closes.
    const QWidget* modal = QApplication::activeModalWidget();
    const QWidget* popup = QApplication::activePopupWidget();
    if (!handle || !window.isVisible() || QGuiApplication::mouseButtons() != Qt::NoButton ||
        (modal && modal != &window) || (popup && popup != &window)) {
        return;
    }
    const QPoint pointer = QCursor::pos();
    const bool overWindow = QApplication::topLevelAt(pointer) == &window;
    leaveWhatThePointerLeft(window, pointer, overWindow);
    if (!overWindow) {
        return;
    }
    QWidget* under = window.childAt(window.mapFromGlobal(pointer));
    under = under ? under : &window;
    const QPointF local = handle->mapFromGlobal(QPointF(pointer));
    if (!under->underMouse()) {
        QEnterEvent enter(local, local, QPointF(pointer));
        QCoreApplication::sendEvent(handle, &enter);
    } else {
        // Qt takes the widget a move reaches as the one the next move leaves.
        QMouseEvent move(QEvent::MouseMove, local, local, QPointF(pointer), Qt::NoButton,
                         Qt::NoButton, QGuiApplication::keyboardModifiers());
        QCoreApplication::sendEvent(handle, &move);
    }
}

// While a popup or a dialog has the pointer, Qt gives its moves to it alone: the other windows
// hear from here what the pointer left, and stay lit where it stays.
void followHeldPointer(QPoint global) {
    const QWidget* holder = QApplication::activePopupWidget();
    if (!holder) {
        holder = QApplication::activeModalWidget();
    }
    if (!holder) {
        return;
    }
    QList<QWidget*> windows;
    for (const QPointer<QWidget>& widget : marked()) {
        QWidget* window = widget->window();
        if (window != holder && window->isVisible() && !windows.contains(window)) {
            windows.append(window);
        }
    }
    if (windows.isEmpty()) {
        return;
    }
    const QWidget* top = QApplication::topLevelAt(global);
    for (QWidget* window : windows) {
        leaveWhatThePointerLeft(*window, global, top == window);
    }
}

// A popup grabs the pointer as it opens, and the window system tells the window under the pointer
// that the pointer left it, where it has not moved: while the popup is open, what the pointer
// leaves is learnt from its moves (followHeldPointer).
bool isGrabbedAway(const QWindow& window) {
    const QWidget* popup = QApplication::activePopupWidget();
    return popup && popup->windowHandle() != &window && !popup->geometry().contains(QCursor::pos());
}

// After a drop the pointer is the dragging program's until that lets it go, which may be as late
// as the pointer's next move, and that move reaches no window here: the window places the pointer
// now, then looks where it is for a while, and places it there once it has moved.
void followPointerAfterDrop(QWidget& widget) {
    QWidget* window = widget.window();
    delete window->findChild<QTimer*>(afterDropLook, Qt::FindDirectChildrenOnly);
    followPointer(*window);
    auto* look = new QTimer(window);
    look->setObjectName(afterDropLook);
    look->callOnTimeout(window, [window, look, dropped = QCursor::pos()] {
        if (QCursor::pos() != dropped) {
            followPointer(*window);
            look->deleteLater();
        }
    });
    QTimer::singleShot(afterDropLookForMs, look, &QObject::deleteLater);
    look->start(afterDropLookMs);
}

bool isOverWindow(const QWidget& widget) {
    return widget.isWindow() &&
           (widget.windowType() == Qt::Popup || widget.windowType() == Qt::Dialog);
}

// Called before Qt marks `widget`.
void remember(QWidget* widget) {
    if (!marked().contains(widget)) {
        entered().append(widget);
    }
}

class PointerWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Enter || type == QEvent::DragEnter) && watched->isWidgetType()) {
            remember(static_cast<QWidget*>(watched));
            return false;
        }
        if (type == QEvent::MouseMove && watched->isWindowType()) {
            followHeldPointer(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return false;
        }
        if (type == QEvent::Leave && watched->isWindowType()) {
            return isGrabbedAway(*static_cast<QWindow*>(watched));
        }
        if (type == QEvent::Drop && watched->isWidgetType()) {
            followPointerAfterDrop(*static_cast<QWidget*>(watched));
            return false;
        }
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Hide &&
            type != QEvent::WindowUnblocked) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow()) {
            return false;
        }
        if (isOverWindow(*widget)) {
            if (type == QEvent::Hide) {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window != widget && window->isVisible()) {
                        followPointer(*window);
                    }
                }
            }
        } else if (type != QEvent::Hide) {
            followPointer(*widget);
        }
        return false;
    }
};

} // namespace

void watchPointerAroundWindows() {
    static QPointer<PointerWatch> watch;
    if (!watch && qApp) {
        watch = new PointerWatch(qApp);
        qApp->installEventFilter(watch);
        // Marks made before the watch heard any enter.
        for (QWidget* widget : QApplication::allWidgets()) {
            if (widget->underMouse()) {
                remember(widget);
            }
        }
    }
}

void followPointer(QWidget& widget) {
    watchPointerAroundWindows();
    QWidget* window = widget.window();
    if (!window->isVisible() || window->property(pendingProperty).toBool()) {
        return;
    }
    window->setProperty(pendingProperty, true);
    QTimer::singleShot(0, window, [window] { placePointer(*window); });
}

} // namespace bw::design
