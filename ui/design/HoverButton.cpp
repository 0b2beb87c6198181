#include "ui/design/HoverButton.h"

#include <QCoreApplication>
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
    setAttribute(Qt::WA_UnderMouse, false);
}

void followPointer(QWidget& widget, const QPoint& pointer) {
    // Over the widget and over every part of the window that holds it (the scroll area's
    // viewport clips the rows).
    bool isOver = widget.isVisible();
    for (const QWidget* part = &widget; isOver && part; part = part->parentWidget()) {
        isOver = part->rect().contains(part->mapFromGlobal(pointer));
        if (part->isWindow()) {
            break;
        }
    }
    if (isOver == widget.underMouse()) {
        return;
    }
    // Delivered as the pointer's own: the application marks the widget as under the mouse or not.
    if (isOver) {
        const QPointF local = widget.mapFromGlobal(QPointF(pointer));
        QEnterEvent enter(local, widget.window()->mapFromGlobal(QPointF(pointer)), pointer);
        QCoreApplication::sendEvent(&widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&widget, &leave);
    }
}

} // namespace bw::design
