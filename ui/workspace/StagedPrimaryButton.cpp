#include "ui/workspace/StagedPrimaryButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace bw::workspace {

namespace {

constexpr qreal rimOpacity = 0.08; // white around the accent capsule at rest

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind stagedPrimaryButtonMotion = design::MotionKind::skipping();

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
    : design::HoverButton(parent), systemImage_(systemImage), showsPlane_(showsPlane) {
    setText(title);
    setAccessibleName(title);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&plane_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    connect(this, &HoverButton::hoveringChanged, this, &StagedPrimaryButton::liftPlane);
}

// The plane follows the pointer alone, also on a disabled button, whose fill and rim stay at rest.
void StagedPrimaryButton::liftPlane(bool hovering) {
    if (showsPlane_) {
        plane_.animateTo(hovering ? 1 : 0, stagedPrimaryButtonMotion.spring(0.2, 1));
    }
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
    // A disabled button keeps its resting look under the pointer.
    const qreal hover = disabled ? 0 : hoverProgress();
    const QRectF capsule = design::fillInsideFocusRing(*this);
    painter.fillPath(design::capsulePath(capsule),
                     palette::withOpacity(palette::accent(), disabled ? 0.36 : 1 - 0.12 * hover));
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, float(rimOpacity + 0.1 * hover)), 1));
    painter.drawPath(design::capsulePath(capsule.adjusted(0.5, 0.5, -0.5, -0.5)));
    design::paintCapsuleFocusRing(painter, *this);

    const QColor foreground(255, 255, 255, int(255 * (disabled ? 0.64 : 1.0)));
    // The content keeps its place when the fill draws in.
    qreal x = (width() - contentWidth()) / 2;
    const qreal midY = height() / 2.0;
    if (showsPlane_) {
        paintPlane(painter,
                   design::leading(*this, QRectF({x, midY - planeFrame.height() / 2}, planeFrame))
                       .topLeft());
        x += planeFrame.width() + spacing;
    } else if (!systemImage_.isEmpty()) {
        const QSizeF symbol = design::symbolSize(symbolPointSize);
        design::paintSymbol(painter,
                            design::leading(*this, QRectF({x, midY - symbol.height() / 2}, symbol)),
                            systemImage_, symbolPointSize, QFont::DemiBold, foreground);
        x += symbol.width() + spacing;
    }
    painter.setFont(titleFont());
    painter.setPen(foreground);
    design::drawText(painter, design::leading(*this, QRectF(x, 0, width() - x, height())),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

// The plane lifts 1 up and 2 forward on hover while its trail grows in behind it; both parts are
// pure white whatever the button's state.
void StagedPrimaryButton::paintPlane(QPainter& painter, QPointF origin) const {
    const qreal lift = plane_.value();
    const qreal midY = origin.y() + planeFrame.height() / 2;
    painter.save();
    design::faceForward(painter, *this, origin.x() + planeFrame.width() / 2);
    // The trail grows from its leading end, from 18 % of its length, and fades in.
    const QRectF trail(origin.x(), midY - 0.6 + 5, 19 * (0.18 + 0.82 * lift), 1.2);
    painter.fillPath(design::capsulePath(trail),
                     QColor::fromRgbF(1, 1, 1, float(0.82 * 0.82 * lift)));
    const QPointF offset(2 * lift, -lift);
    const QRectF plane(QPointF(origin.x(), midY - 3) + offset, QSizeF(17, 6));
    design::paintPlane(painter, plane, Qt::white);
    painter.restore();
}

} // namespace bw::workspace
