#include "ui/design/HoverButton.h"

#include <QEnterEvent>

namespace bw::design {

HoverButton::HoverButton(QWidget* parent, HoverButtonStyle style)
    : QAbstractButton(parent), style_(std::move(style)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(&hover_, &AnimatedValue::valueChanged, this, [this] {
        update();
        emit hoverProgressChanged();
    });
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
    followHover();
    // Whatever follows the state itself (not its motion) is drawn anew.
    update();
    emit hoveringChanged(hovering);
}

void HoverButton::withholdHoverLook(bool withheld) {
    isHoverLookWithheld_ = withheld;
    followHover();
}

void HoverButton::followHover() {
    hover_.animateTo(isHovering_ && !isHoverLookWithheld_ ? 1 : 0, style_.hover);
}

void HoverButton::clearHover() {
    isHovering_ = false;
    hover_.setValue(0);
}

} // namespace bw::design
