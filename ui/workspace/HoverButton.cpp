#include "ui/workspace/HoverButton.h"

#include <QEnterEvent>

namespace bw::workspace {

HoverButton::HoverButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(&hover_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
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
    if (hovering == isHovering_) {
        return;
    }
    isHovering_ = hovering;
    hover_.animateTo(hovering ? 1 : 0, design::unlessReduceMotion(design::Motion::easeOut(0.14)));
    hoverChanged(hovering);
}

} // namespace bw::workspace
