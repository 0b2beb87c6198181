#include "ui/workspace/CenteredRemoveButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::workspace {

namespace {
constexpr qreal rimOpacity = 0.1; // white around the red capsule at rest
} // namespace

namespace {

constexpr qreal pointSize = 11;
constexpr qreal iconSpacing = 4;
// The desktop's system red in the dark appearance.
constexpr QColor systemRed{255, 69, 58};

QFont titleFont() {
    return design::textStyleFont(design::TextStyle::removeLabel);
}

qreal contentWidth(const QString& title) {
    return design::symbolSize(pointSize).width() + iconSpacing +
           QFontMetricsF(titleFont()).horizontalAdvance(title);
}

} // namespace

CenteredRemoveButton::CenteredRemoveButton(const QString& help, QWidget* parent)
    : design::HoverButton(parent) {
    setText(QStringLiteral("Remove"));
    setToolTip(help);
    setAccessibleName(help);
    setFixedSize(sizeHint());
}

QSize CenteredRemoveButton::sizeHint() const {
    return {int(std::ceil(contentWidth(text()) + 2 * 14)), 32};
}

void CenteredRemoveButton::setPresence(qreal presence) {
    presence_ = presence;
    update();
}

void CenteredRemoveButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(presence_);
    const qreal scale = 0.96 + 0.04 * presence_;
    painter.translate(QRectF(rect()).center());
    painter.scale(scale, scale);
    painter.translate(-QRectF(rect()).center());
    const QRectF capsule(rect());
    const qreal hover = hoverProgress();
    painter.fillPath(design::capsulePath(capsule),
                     design::palette::withOpacity(systemRed, 0.92 + 0.08 * hover));
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, float(rimOpacity + 0.08 * hover)), 1));
    painter.drawPath(design::capsulePath(capsule.adjusted(0.5, 0.5, -0.5, -0.5)));

    const QSizeF symbol = design::symbolSize(pointSize);
    qreal x = (capsule.width() - contentWidth(text())) / 2;
    design::paintSymbol(
        painter,
        design::leading(*this, QRectF({x, (capsule.height() - symbol.height()) / 2}, symbol)),
        u"trash", pointSize, QFont::DemiBold, Qt::white);
    x += symbol.width() + iconSpacing;
    painter.setFont(titleFont());
    painter.setPen(Qt::white);
    design::drawText(painter,
                     design::leading(*this, QRectF(x, 0, capsule.width() - x, capsule.height())),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace bw::workspace
