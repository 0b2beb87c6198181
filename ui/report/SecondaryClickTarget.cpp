#include "ui/report/SecondaryClickTarget.h"

#include <QEvent>
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

bool SecondaryClickTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != target_ || event->type() != QEvent::MouseButtonPress) {
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
