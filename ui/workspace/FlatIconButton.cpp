#include "ui/workspace/FlatIconButton.h"

#include "ui/design/FocusRing.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"

#include <QPainter>

namespace bw::workspace {

FlatIconButton::FlatIconButton(const QString& systemImage, const QString& accessibilityLabel,
                               const QString& help, QWidget* parent)
    : design::HoverButton(parent), systemImage_(systemImage) {
    setAccessibleName(accessibilityLabel);
    setToolTip(help);
    setFixedSize(sizeHint());
}

void FlatIconButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    design::paintSymbol(painter, QRectF(rect()), systemImage_, design::TextStyle::medium12,
                        design::palette::mix(design::palette::textSecondary(),
                                             design::palette::textPrimary(), hoverProgress()));
    design::paintCapsuleFocusRing(painter, *this);
}

} // namespace bw::workspace
