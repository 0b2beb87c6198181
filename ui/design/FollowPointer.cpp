#include "ui/design/FollowPointer.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace bw::design {

namespace {

constexpr char pendingProperty[] = "bwFollowPointerPending";

// The innermost widget of `window` under the pointer at `global`, given the window the pointer
// is over; null when that is another window or none.
QWidget* widgetUnderPointer(QWidget& window, const QWidget* top, QPoint global) {
    if (top != &window) {
        return nullptr;
    }
    QWidget* child = window.childAt(window.mapFromGlobal(global));
    return child ? child : &window;
}

// Qt marks a widget as under the pointer with the enter it sends and unmarks it with the leave.
// A leave it never sends (a dialog blocks it, a popup keeps the pointer from the window, a drop
// ends without one) leaves the mark, and the widget lit, for good: every marked widget of
// `window` that the pointer is not over (`under` nor one holding it) hears the pointer leave,
// innermost first.
void leaveWhatThePointerLeft(QWidget& window, const QWidget* under) {
    const auto isLeft = [&](const QWidget* widget) {
        return widget->underMouse() && widget->window() == &window &&
               !(under && (widget == under || widget->isAncestorOf(under)));
    };
    QList<QPointer<QWidget>> left;
    // Parents come before their children here.
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (isLeft(widget)) {
            left.prepend(widget);
        }
    }
    if (isLeft(&window)) {
        left.append(&window);
    }
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
    QWidget* under = widgetUnderPointer(window, QApplication::topLevelAt(pointer), pointer);
    leaveWhatThePointerLeft(window, under);
    if (!under) {
        return;
    }
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
    const QWidget* top = QApplication::topLevelAt(global);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != holder && window->isVisible()) {
            leaveWhatThePointerLeft(*window, widgetUnderPointer(*window, top, global));
        }
    }
}

// A popup grabs the pointer as it opens, and the window system tells the window under the pointer
// that the pointer left it, where it has not moved: while the popup is open, what the pointer
// leaves is learnt from its moves (followHeldPointer).
bool isGrabbedAway(const QWindow& window) {
    const QWidget* popup = QApplication::activePopupWidget();
    return popup && popup->windowHandle() != &window && !popup->geometry().contains(QCursor::pos());
}

// After a drop the pointer is the dragging program's until that lets it go, and the moves
// meanwhile reach no window here: the window asks where the pointer is a few times over the next
// second.
void followPointerAfterDrop(QWidget& widget) {
    QWidget* window = widget.window();
    for (const int milliseconds : {0, 100, 250, 500, 1000}) {
        QTimer::singleShot(milliseconds, window, [window] { followPointer(*window); });
    }
}

bool isOverWindow(const QWidget& widget) {
    return widget.isWindow() &&
           (widget.windowType() == Qt::Popup || widget.windowType() == Qt::Dialog);
}

class PointerWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
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
