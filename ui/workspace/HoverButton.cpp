#include "ui/workspace/HoverButton.h"

#include <QEnterEvent>

namespace bw::workspace {

HoverButton::HoverButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void HoverButton::enterEvent(QEnterEvent* event) {
    setHovering(true);
    QAbstractButton::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent* event) {
    setHovering(false);
    QAbstractButton::leaveEvent(event);
}

void HoverButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QAbstractButton::changeEvent(event);
}

void HoverButton::setHovering(bool hovering) {
    if (hovering != isHovering_) {
        isHovering_ = hovering;
        update();
    }
}

} // namespace bw::workspace
