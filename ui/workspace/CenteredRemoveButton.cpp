#include "ui/workspace/CenteredRemoveButton.h"

#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::workspace {

namespace {

constexpr qreal pointSize = 11;
constexpr qreal iconSpacing = 4;
// The desktop's system red in the dark appearance.
constexpr QColor systemRed{255, 69, 58};

QFont titleFont() {
    return design::systemFont(pointSize, QFont::DemiBold);
}

qreal contentWidth(const QString& title) {
    return design::symbolSize(pointSize).width() + iconSpacing +
           QFontMetricsF(titleFont()).horizontalAdvance(title);
}

} // namespace

CenteredRemoveButton::CenteredRemoveButton(const QString& help, QWidget* parent)
    : HoverButton(parent) {
    setText(QStringLiteral("Remove"));
    setToolTip(help);
    setAccessibleName(help);
    setFixedSize(sizeHint());
}

QSize CenteredRemoveButton::sizeHint() const {
    return {int(std::ceil(contentWidth(text()) + 2 * 14)), 32};
}

void CenteredRemoveButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule(rect());
    const qreal radius = capsule.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(design::palette::withOpacity(systemRed, isHovering() ? 1 : 0.92));
    painter.drawRoundedRect(capsule, radius, radius);
    painter.setPen(QPen(QColor(255, 255, 255, int(255 * (isHovering() ? 0.18 : 0.1))), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(capsule.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);

    const QSizeF symbol = design::symbolSize(pointSize);
    qreal x = (capsule.width() - contentWidth(text())) / 2;
    design::paintSymbol(painter, QRectF({x, (capsule.height() - symbol.height()) / 2}, symbol),
                        u"trash", pointSize, QFont::DemiBold, Qt::white);
    x += symbol.width() + iconSpacing;
    painter.setFont(titleFont());
    painter.setPen(Qt::white);
    painter.drawText(QRectF(x, 0, capsule.width() - x, capsule.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace bw::workspace
