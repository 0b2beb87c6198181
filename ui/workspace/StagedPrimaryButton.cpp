#include "ui/workspace/StagedPrimaryButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace bw::workspace {

namespace {

namespace palette = design::palette;

constexpr qreal symbolPointSize = 12;
constexpr qreal spacing = 8;
constexpr QSizeF planeFrame{21, 14};

QFont titleFont() {
    return design::textStyleFont(design::TextStyle::label);
}

} // namespace

StagedPrimaryButton::StagedPrimaryButton(const QString& title, const QString& systemImage,
                                         bool showsPlane, QWidget* parent)
    : HoverButton(parent), systemImage_(systemImage), showsPlane_(showsPlane) {
    setText(title);
    setAccessibleName(title);
}

qreal StagedPrimaryButton::contentWidth() const {
    qreal width = QFontMetricsF(titleFont()).horizontalAdvance(text());
    if (showsPlane_) {
        width += planeFrame.width() + spacing;
    } else if (!systemImage_.isEmpty()) {
        width += design::symbolSize(symbolPointSize).width() + spacing;
    }
    return width;
}

QSize StagedPrimaryButton::sizeHint() const {
    return {std::max(132, int(std::ceil(contentWidth() + 2 * 16))), 38};
}

void StagedPrimaryButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool disabled = !isEnabled();
    const bool hovering = isHovering() && !disabled;
    const QRectF capsule = QRectF(rect());
    const qreal radius = capsule.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::withOpacity(palette::accent(), disabled   ? 0.36
                                                             : hovering ? 0.88
                                                                        : 1));
    painter.drawRoundedRect(capsule, radius, radius);
    painter.setPen(QPen(QColor(255, 255, 255, int(255 * (hovering ? 0.18 : 0.08))), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(capsule.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);

    const QColor foreground(255, 255, 255, int(255 * (disabled ? 0.64 : 1.0)));
    qreal x = (capsule.width() - contentWidth()) / 2;
    const qreal midY = capsule.center().y();
    if (showsPlane_) {
        paintPlane(painter, {x, midY - planeFrame.height() / 2});
        x += planeFrame.width() + spacing;
    } else if (!systemImage_.isEmpty()) {
        const QSizeF symbol = design::symbolSize(symbolPointSize);
        design::paintSymbol(painter, QRectF({x, midY - symbol.height() / 2}, symbol), systemImage_,
                            symbolPointSize, QFont::DemiBold, foreground);
        x += symbol.width() + spacing;
    }
    painter.setFont(titleFont());
    painter.setPen(foreground);
    painter.drawText(QRectF(x, 0, capsule.width() - x, capsule.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

// The plane lifts 1 up and 2 forward on hover while its trail grows in behind it; both parts are
// pure white whatever the button's state.
void StagedPrimaryButton::paintPlane(QPainter& painter, QPointF origin) const {
    const bool active = isHovering() && isEnabled();
    const qreal midY = origin.y() + planeFrame.height() / 2;
    if (active) {
        const QRectF trail(origin.x(), midY - 0.6 + 5, 19, 1.2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, int(255 * 0.82 * 0.82)));
        painter.drawRoundedRect(trail, 0.6, 0.6);
    }
    const QPointF lift = active ? QPointF(2, -1) : QPointF();
    const QRectF plane(QPointF(origin.x(), midY - 3) + lift, QSizeF(17, 6));
    design::paintPlane(painter, plane, Qt::white);
}

} // namespace bw::workspace
