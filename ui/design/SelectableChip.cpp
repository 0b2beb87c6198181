#include "ui/design/SelectableChip.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Palette.h"

#include <QPainter>

namespace bw::design {

SelectableChip::SelectableChip(const QString& title, const Motion& selection, QWidget* parent)
    : HoverButton(parent, HoverButtonStyle{Motion::easeOut(0.15)}), selectionMotion_(selection) {
    setText(title);
    // Tab reaches it; a click leaves the keyboard focus where it was (in the search field).
    setAttribute(Qt::WA_Hover);
    connect(&selection_, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void SelectableChip::setSelected(bool selected) {
    if (selected == selected_) {
        return;
    }
    selected_ = selected;
    if (isVisible()) {
        selection_.animateTo(selected ? 1 : 0, selectionMotion_);
    } else {
        selection_.setValue(selected ? 1 : 0);
    }
    selectionChanged();
}

void SelectableChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal selected = selection_.value();
    const qreal fill = 0.09 * selected + 0.045 * hoverProgress() * (1 - selected);
    painter.fillPath(capsulePath(QRectF(rect())), palette::withOpacity(Qt::white, fill));
    paintContent(painter, selected);
    paintCapsuleFocusRing(painter, *this);
}

} // namespace bw::design
