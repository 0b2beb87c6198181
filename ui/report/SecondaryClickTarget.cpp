#include "ui/report/SecondaryClickTarget.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace bw::report {

SecondaryClickTarget::SecondaryClickTarget(QWidget* target, std::function<void()> action)
    : QObject(target), target_(target), action_(std::move(action)) {
    // A right press on a child that does not take it travels up to the target.
    target->installEventFilter(this);
}

bool SecondaryClickTarget::claims(QPoint point) const {
    return target_->rect().contains(point);
}

namespace {

// The keyboard's own secondary click, on the desktop: the Menu key (which some window systems
// also deliver as a context menu event) and Shift+F10.
bool isContextMenuKey(const QEvent& event) {
    if (event.type() == QEvent::ContextMenu) {
        return static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Keyboard;
    }
    if (event.type() != QEvent::KeyPress) {
        return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(event);
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

} // namespace

bool SecondaryClickTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != target_) {
        return false;
    }
    // From the target or a control inside it that leaves the key alone.
    if (isContextMenuKey(*event)) {
        if (action_) {
            action_();
        }
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton || !claims(mouse->position().toPoint())) {
        return false;
    }
    // Queued on this object: Qt drops the call when the target (our parent) is deleted first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (action_) {
                action_();
            }
        },
        Qt::QueuedConnection);
    return true;
}

} // namespace bw::report
