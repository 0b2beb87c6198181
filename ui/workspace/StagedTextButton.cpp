#include "ui/workspace/StagedTextButton.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::workspace {

namespace {

constexpr qreal symbolPointSize = 11;
constexpr qreal spacing = 6;
constexpr qreal hoverRotation = 24;

QFont titleFont() {
    return design::textStyleFont(design::TextStyle::label);
}

} // namespace

StagedTextButton::StagedTextButton(const QString& title, const QString& systemImage,
                                   QWidget* parent)
    : design::HoverButton(parent), systemImage_(systemImage) {
    setText(title);
    setAccessibleName(title);
}

QSize StagedTextButton::sizeHint() const {
    const qreal width = design::symbolSize(symbolPointSize).width() + spacing +
                        QFontMetricsF(titleFont()).horizontalAdvance(text());
    return {int(std::ceil(width)), 30};
}

void StagedTextButton::paintEvent(QPaintEvent*) {
    namespace palette = design::palette;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Disabled, the colour ignores the pointer; the symbol's turn follows it either way.
    const QColor color = isEnabled() ? palette::mix(palette::textSecondary(),
                                                    palette::textPrimary(), hoverProgress())
                                     : palette::textTertiary();
    const QSizeF symbol = design::symbolSize(symbolPointSize);
    const QRectF symbolRect =
        design::leading(*this, QRectF({0, (height() - symbol.height()) / 2}, symbol));
    painter.save();
    painter.translate(symbolRect.center());
    painter.rotate(hoverRotation * hoverProgress());
    painter.translate(-symbolRect.center());
    design::paintSymbol(painter, symbolRect, systemImage_, symbolPointSize, QFont::DemiBold, color);
    painter.restore();
    painter.setFont(titleFont());
    painter.setPen(color);
    const qreal x = symbol.width() + spacing;
    design::drawText(painter, design::leading(*this, QRectF(x, 0, width() - x, height())),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace bw::workspace
