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

void leave(QWidget& window) {
    if (QWindow* handle = window.windowHandle(); handle && window.underMouse()) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(handle, &leave);
    }
}

void placePointer(QWidget& window) {
    window.setProperty(pendingProperty, false);
    QWindow* handle = window.windowHandle();
    // While a button is held the pressed widget keeps the pointer, as Qt has it; a dialog that
    // blocks the window has it.
    const QWidget* modal = QApplication::activeModalWidget();
    if (!handle || !window.isVisible() || QGuiApplication::mouseButtons() != Qt::NoButton ||
        (modal && modal != &window)) {
        return;
    }
    // Off the window, the window system tells it when the pointer leaves.
    const QPoint pointer = QCursor::pos();
    if (QApplication::topLevelAt(pointer) != &window) {
        return;
    }
    const QPointF local = handle->mapFromGlobal(QPointF(pointer));
    if (window.underMouse()) {
        QMouseEvent move(QEvent::MouseMove, local, local, QPointF(pointer), Qt::NoButton,
                         Qt::NoButton, QGuiApplication::keyboardModifiers());
        QCoreApplication::sendEvent(handle, &move);
    } else {
        QEnterEvent enter(local, local, QPointF(pointer));
        QCoreApplication::sendEvent(handle, &enter);
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
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show &&
            type != QEvent::Hide && type != QEvent::WindowUnblocked) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow()) {
            return false;
        }
        if (isOverWindow(*widget)) {
            if (type == QEvent::Show && widget->windowType() == Qt::Popup) {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window != widget && !isOverWindow(*window)) {
                        leave(*window);
                    }
                }
            } else if (type == QEvent::Hide) {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window != widget && window->isVisible()) {
                        followPointer(*window);
                    }
                }
            }
        } else if (type != QEvent::Show && type != QEvent::Hide) {
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
