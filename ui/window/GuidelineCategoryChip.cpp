#include "ui/window/GuidelineCategoryChip.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::window {

namespace palette = design::palette;

GuidelineCategoryChip::GuidelineCategoryChip(const QString& title, QWidget* parent)
    : design::HoverButton(parent, design::HoverButtonStyle{design::Motion::easeOut(0.15)}),
      selection_(new design::AnimatedValue(0, this)) {
    setText(title);
    setAccessibleName(title);
    // Tab reaches it; a click leaves the keyboard focus where it was (in the search field).
    setAttribute(Qt::WA_Hover);
    connect(selection_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void GuidelineCategoryChip::setSelected(bool selected, bool animated) {
    if (selected == selected_) {
        return;
    }
    selected_ = selected;
    if (animated) {
        selection_->animateTo(selected ? 1 : 0, design::Motion::spring(0.24));
    } else {
        selection_->setValue(selected ? 1 : 0);
    }
    setAccessibleDescription(selected ? QStringLiteral("Selected") : QString());
}

bool GuidelineCategoryChip::isAnimating() const {
    return selection_->isRunning();
}

QSize GuidelineCategoryChip::sizeHint() const {
    const qreal title =
        QFontMetricsF(design::textStyleFont(design::TextStyle::label)).horizontalAdvance(text());
    return {int(std::ceil(title)) + 24, 34};
}

void GuidelineCategoryChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal selected = selection_->value();
    // Selection wins over hover.
    const qreal fill = 0.09 * selected + 0.045 * hoverProgress() * (1 - selected);
    painter.fillPath(design::capsulePath(QRectF(rect())), QColor::fromRgbF(1, 1, 1, fill));
    painter.setPen(palette::mix(palette::textSecondary(), palette::textPrimary(), selected));
    painter.setFont(design::textStyleFont(design::TextStyle::label));
    painter.drawText(rect(), Qt::AlignCenter, text());
    design::paintCapsuleFocusRing(painter, *this);
}

} // namespace bw::window
