#include "ui/report/ReportNewScanButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::report {
namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind reportNewScanButtonMotion = design::MotionKind::keeping();

namespace palette = design::palette;

constexpr int horizontalInset = 12;
constexpr int spacing = 7;
constexpr qreal symbolPoints = 11;

} // namespace

ReportNewScanButton::ReportNewScanButton(QWidget* parent)
    : design::HoverButton(parent,
                          design::HoverButtonStyle{reportNewScanButtonMotion.easeOut(0.14)}) {
    setText(QStringLiteral("Scan another build"));
    setAccessibleName(text());
    setToolTip(text());
    // Clicked, it takes the keyboard focus as a standard button does.
    setFocusPolicy(Qt::StrongFocus);
    setFixedHeight(30);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ReportNewScanButton::sizeHint() const {
    const QFontMetrics metrics(design::textStyleFont(design::TextStyle::label));
    return {2 * horizontalInset + int(design::symbolSize(symbolPoints).width()) + spacing +
                metrics.horizontalAdvance(text()) + 1,
            30};
}

bool ReportNewScanButton::hitButton(const QPoint& pos) const {
    return design::capsulePath(QRectF(rect())).contains(pos);
}

void ReportNewScanButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath capsule = design::capsulePath(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    // The translucent capsule of systems without interactive glass, with its hairline.
    painter.fillPath(capsule, palette::capsuleFill());
    painter.setPen(QPen(palette::withOpacity(palette::hairline(), 0.7), 1));
    painter.drawPath(capsule);
    design::paintCapsuleFocusRing(painter, *this);

    const QColor color =
        palette::withOpacity(palette::textPrimary(), 0.92 + 0.08 * hoverProgress());
    const QSizeF symbol = design::symbolSize(symbolPoints);
    design::paintSymbol(
        painter,
        design::leading(*this,
                        QRectF(QPointF(horizontalInset, (height() - symbol.height()) / 2), symbol)),
        u"plus", symbolPoints, QFont::DemiBold, color);
    painter.setFont(design::textStyleFont(design::TextStyle::label));
    painter.setPen(color);
    design::drawText(painter,
                     design::leading(*this, QRectF(horizontalInset + symbol.width() + spacing, 0,
                                                   width(), height())),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace bw::report
