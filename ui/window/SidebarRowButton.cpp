#include "ui/window/SidebarRowButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
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

SidebarRowButton::SidebarRowButton(QWidget* parent)
    // The pointer's arrival plays ease-out 0.12 s, at once under reduce motion.
    : design::HoverButton(parent, {sidebarRowButtonMotion.easeOut(0.12)}) {
    // Checked is how the selection reaches accessibility.
    setCheckable(true);
    // A row of a list, not a link: the pointer stays an arrow.
    unsetCursor();
    setAttribute(Qt::WA_Hover);
    design::activateOnReturn(*this);
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
    if (showsHover()) {
        return palette::withOpacity(palette::textPrimary(), 0.9);
    }
    return palette::textSecondary();
}

void SidebarRowButton::paintBackground(QPainter& painter) const {
    // The selection fill is the group's highlight, drawn under the row; hover shows only on
    // the others.
    if (!isSelected() && hoverProgress() > 0) {
        painter.fillPath(design::continuousRoundedRect(QRectF(rect()), cornerRadius),
                         palette::withOpacity(palette::rowFillSoft(), hoverProgress()));
    }
    // Where Tab has brought the keyboard.
    design::paintFocusRing(painter, *this, cornerRadius);
}

bool SidebarRowButton::hitButton(const QPoint& position) const {
    return design::continuousRoundedRect(QRectF(rect()), cornerRadius).contains(position);
}

} // namespace bw::window
