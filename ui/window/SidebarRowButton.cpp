#include "ui/window/SidebarRowButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Palette.h"

#include <QPainter>

namespace bw::window {

namespace palette = design::palette;

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind sidebarRowButtonMotion = design::MotionKind::skipping();

bool isInSight(const QWidget& widget) {
    QRect area = widget.rect();
    for (const QWidget* part = &widget; !part->isWindow() && part->parentWidget();
         part = part->parentWidget()) {
        area.translate(part->pos());
        area &= part->parentWidget()->rect();
    }
    return !area.isEmpty();
}

} // namespace

SidebarRowButton::SidebarRowButton(QWidget* parent) : QAbstractButton(parent) {
    // Checked is how the selection reaches accessibility.
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    connect(&hoverFill_, &design::AnimatedValue::valueChanged, this, [this] {
        update();
        emit hoverProgressChanged();
    });
    connect(this, &QAbstractButton::toggled, this, qOverload<>(&QWidget::update));
}

void SidebarRowButton::setAvailable(bool available) {
    if (available == isEnabled() || isInSight(*this)) {
        setEnabled(available);
        return;
    }
    QList<QWidget*> quiet = findChildren<QWidget*>();
    quiet.append(this);
    quiet.removeIf([](const QWidget* part) { return !part->updatesEnabled(); });
    for (QWidget* part : quiet) {
        part->setAttribute(Qt::WA_UpdatesDisabled, true);
    }
    setEnabled(available);
    for (QWidget* part : quiet) {
        part->setAttribute(Qt::WA_UpdatesDisabled, false);
    }
}

QColor SidebarRowButton::foreground() const {
    if (isSelected()) {
        return palette::textPrimary();
    }
    if (isHovering_) {
        return palette::withOpacity(palette::textPrimary(), 0.9);
    }
    return palette::textSecondary();
}

void SidebarRowButton::paintBackground(QPainter& painter) const {
    // The selection fill is the group's highlight, drawn under the row; hover shows only on
    // the others.
    if (!isSelected() && hoverFill_.value() > 0) {
        painter.fillPath(design::continuousRoundedRect(QRectF(rect()), cornerRadius),
                         palette::withOpacity(palette::hoverFill(), hoverFill_.value()));
    }
    // Where Tab has brought the keyboard.
    design::paintFocusRing(painter, *this, cornerRadius);
}

bool SidebarRowButton::hitButton(const QPoint& position) const {
    return design::continuousRoundedRect(QRectF(rect()), cornerRadius).contains(position);
}

void SidebarRowButton::enterEvent(QEnterEvent* event) {
    setHovering(true);
    QAbstractButton::enterEvent(event);
}

void SidebarRowButton::leaveEvent(QEvent* event) {
    setHovering(false);
    QAbstractButton::leaveEvent(event);
}

void SidebarRowButton::setHovering(bool hovering) {
    if (hovering == isHovering_) {
        return;
    }
    isHovering_ = hovering;
    hoverFill_.animateTo(hovering ? 1.0 : 0.0, sidebarRowButtonMotion.easeOut(0.12));
    emit hoveringChanged(hovering);
    update();
}

} // namespace bw::window
