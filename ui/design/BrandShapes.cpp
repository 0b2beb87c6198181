#include "ui/design/BrandShapes.h"

#include "ui/design/Palette.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace bw::design {

namespace {

struct Step {
    enum Kind { move, line, curve } kind;
    QPointF point;
    QPointF control1{};
    QPointF control2{};
};

// The plane's outline in its design coordinates (y grows downward); the nose is the two curves.
const std::array<Step, 25> planeOutline{{
    {Step::move, {435.2, 409.9}},
    {Step::line, {439.3, 409.9}},
    {Step::line, {472.0, 420.5}},
    {Step::line, {566.7, 453.2}},
    {Step::line, {570.8, 453.2}},
    {Step::line, {669.6, 421.4}},
    {Step::line, {690.0, 417.3}},
    {Step::curve, {738.2, 440.1}, {713.0, 414.5}, {734.0, 423.0}},
    {Step::curve, {712.9, 467.9}, {738.4, 451.2}, {729.5, 460.7}},
    {Step::line, {685.9, 479.3}},
    {Step::line, {632.9, 497.3}},
    {Step::line, {574.9, 513.6}},
    {Step::line, {471.2, 538.1}},
    {Step::curve, {387.1, 554.5}, {437.0, 546.8}, {402.0, 553.0}},
    {Step::curve, {359.3, 556.1}, {373.0, 556.2}, {363.0, 557.0}},
    {Step::line, {351.9, 551.2}},
    {Step::line, {296.4, 484.2}},
    {Step::line, {326.6, 475.3}},
    {Step::line, {332.4, 475.3}},
    {Step::line, {398.5, 508.7}},
    {Step::line, {474.4, 485.1}},
    {Step::line, {475.3, 484.2}},
    {Step::line, {467.9, 476.9}},
    {Step::line, {406.7, 421.4}},
    {Step::line, {408.3, 418.9}},
}};

const QRectF planeDesignBox(296.4, 409.9, 442.0, 147.1);

// How far a continuous corner reaches along each side, and where its control points sit, in
// multiples of the radius; the corner passes where a quarter circle of that radius would.
constexpr qreal cornerReach = 1.528;
constexpr qreal cornerControl = 0.272;

} // namespace

QRectF BerthwatchPlaneShape::designBounds() {
    return planeDesignBox;
}

QPainterPath BerthwatchPlaneShape::path(const QRectF& rect) {
    const qreal scale =
        std::min(rect.width() / planeDesignBox.width(), rect.height() / planeDesignBox.height());
    const QPointF centre = planeDesignBox.center();
    const auto map = [&](QPointF p) { return rect.center() + scale * (p - centre); };
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const Step& step : planeOutline) {
        switch (step.kind) {
        case Step::move:
            path.moveTo(map(step.point));
            break;
        case Step::line:
            path.lineTo(map(step.point));
            break;
        case Step::curve:
            path.cubicTo(map(step.control1), map(step.control2), map(step.point));
            break;
        }
    }
    path.closeSubpath();
    return path;
}

void paintPlane(QPainter& painter, const QRectF& frame, const QColor& color, qreal degrees) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(frame.center());
    painter.rotate(degrees);
    painter.translate(-frame.center());
    painter.fillPath(BerthwatchPlaneShape::path(frame), color);
    painter.restore();
}

void paintShadow(QPainter& painter, const QPainterPath& path, const QColor& color, qreal radius) {
    if (radius <= 0 || color.alpha() == 0) {
        return;
    }
    // Nested strokes of equal faint strength: the nearer the outline, the more of them overlap,
    // so the glow fades out linearly over `radius`.
    const int layers = std::max(2, int(std::ceil(radius)));
    const QColor layer = palette::withOpacity(color, 1.0 / layers);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (int i = layers; i >= 1; --i) {
        painter.setPen(
            QPen(layer, 2 * radius * i / layers, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.fillPath(path, layer);
    painter.restore();
}

QPainterPath capsulePath(const QRectF& rect) {
    const qreal radius = std::min(rect.width(), rect.height()) / 2;
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius) {
    const qreal limit = std::min(rect.width(), rect.height()) / 2 / cornerReach;
    const qreal r = std::clamp(radius, 0.0, limit);
    const qreal reach = r * cornerReach;
    const qreal control = r * cornerControl;
    const qreal left = rect.left(), right = rect.right(), top = rect.top(), bottom = rect.bottom();
    QPainterPath path;
    path.moveTo(left + reach, top);
    path.lineTo(right - reach, top);
    path.cubicTo(right - control, top, right, top + control, right, top + reach);
    path.lineTo(right, bottom - reach);
    path.cubicTo(right, bottom - control, right - control, bottom, right - reach, bottom);
    path.lineTo(left + reach, bottom);
    path.cubicTo(left + control, bottom, left, bottom - control, left, bottom - reach);
    path.lineTo(left, top + reach);
    path.cubicTo(left, top + control, left + control, top, left + reach, top);
    path.closeSubpath();
    return path;
}

} // namespace bw::design
