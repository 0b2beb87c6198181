#include "ui/design/Accessibility.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace bw::design {

namespace {

using palette::mix;
using palette::withOpacity;
using State = BerthwatchRunwayState;

constexpr qreal laneHeight = 4;
constexpr qreal litPlaneOpacity = 0.82; // white: the plane over a lit lane

qreal mix(qreal from, qreal to, qreal t) {
    return from + (to - from) * t;
}

// Under reduce motion the mark changes state in a short linear fade instead of its springs.
const MotionKind runwayMarkMotion = MotionKind::replacing(Motion::linear(0.12));

// A spring that settles without overshoot, slower for the states that move the plane farther.
Motion motionTo(State state) {
    switch (state) {
    case State::targeted:
        return runwayMarkMotion.spring(0.52);
    case State::launching:
        return runwayMarkMotion.spring(0.44);
    default:
        return runwayMarkMotion.spring(0.28);
    }
}

} // namespace

double BerthwatchRunwayMark::launchWaitSeconds() {
    return runwayMarkMotion.isReduced() ? 0.09 : 0.36;
}

BerthwatchRunwayMark::Look BerthwatchRunwayMark::lookOf(State state) {
    const QColor& secondary = palette::textSecondary();
    const QColor& accent = palette::accent();
    const QColor& danger = palette::danger();
    const QColor black(Qt::black);
    switch (state) {
    case State::idle:
        return {secondary,
                0.22,
                secondary,
                0,
                0,
                withOpacity(secondary, 0.16),
                4,
                palette::iconGlyph(),
                0,
                {-4, 0},
                withOpacity(black, 0.28),
                6};
    case State::hovered:
        return {secondary,
                0.16,
                secondary,
                0.16,
                1,
                withOpacity(secondary, 0.16),
                4,
                palette::iconGlyph(),
                0,
                {2, -1},
                withOpacity(black, 0.28),
                6};
    case State::targeted:
        return {accent,
                0.16,
                withOpacity(Qt::white, litPlaneOpacity),
                1,
                1,
                withOpacity(accent, 0.5),
                8,
                palette::textPrimary(),
                -1.5,
                {8, -4},
                withOpacity(accent, 0.34),
                12};
    case State::launching:
        return {accent,
                0.16,
                withOpacity(Qt::white, litPlaneOpacity),
                1,
                1,
                withOpacity(accent, 0.5),
                4,
                palette::textPrimary(),
                -6,
                {48, -18},
                withOpacity(accent, 0.34),
                6};
    case State::rejected:
        return {danger,
                0.16,
                danger,
                1,
                1,
                withOpacity(danger, 0.34),
                4,
                danger,
                1,
                {-9, 1},
                withOpacity(danger, 0.24),
                6};
    }
    Q_UNREACHABLE();
}

BerthwatchRunwayMark::BerthwatchRunwayMark(QWidget* parent) : QWidget(parent) {
    // Decoration: the drop zone's own texts say what it is for.
    hideFromAccessibility(*this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(&transition_, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void BerthwatchRunwayMark::setState(State state) {
    if (state == state_) {
        return;
    }
    from_ = currentLook();
    state_ = state;
    transition_.setValue(0);
    transition_.animateTo(1, motionTo(state));
    update();
}

BerthwatchRunwayMark::Look BerthwatchRunwayMark::currentLook() const {
    const Look to = lookOf(state_);
    const qreal t = transition_.value();
    if (t >= 1) {
        return to;
    }
    return {mix(from_.lane, to.lane, t),
            mix(from_.baseLaneOpacity, to.baseLaneOpacity, t),
            mix(from_.litLaneEnd, to.litLaneEnd, t),
            mix(from_.litFraction, to.litFraction, t),
            mix(from_.litLaneOpacity, to.litLaneOpacity, t),
            mix(from_.glow, to.glow, t),
            mix(from_.glowRadius, to.glowRadius, t),
            mix(from_.plane, to.plane, t),
            mix(from_.planeDegrees, to.planeDegrees, t),
            from_.planeOffset + (to.planeOffset - from_.planeOffset) * t,
            mix(from_.planeShadow, to.planeShadow, t),
            mix(from_.planeShadowRadius, to.planeShadowRadius, t)};
}

BerthwatchRunwayMark::Layout BerthwatchRunwayMark::layoutOf(const Look& look) const {
    const QRectF frame = contentsRect();
    const qreal w = frame.width();
    const qreal h = frame.height();
    const qreal runwayWidth = std::min(w * 0.72, 174.0);
    const qreal planeWidth = std::min(w * 0.48, 114.0);
    Layout layout;
    layout.lane = QRectF(frame.left() + w * 0.5 - runwayWidth / 2,
                         frame.top() + h * 0.78 - laneHeight / 2, runwayWidth, laneHeight);
    layout.lit = layout.lane;
    layout.lit.setWidth(runwayWidth * std::max(0.001, look.litFraction));
    QRectF plane(0, 0, planeWidth, planeWidth / 3);
    plane.moveCenter(frame.topLeft() + QPointF(w * 0.5, h * 0.31) + look.planeOffset);
    layout.planeTurn.translate(plane.center().x(), plane.center().y());
    layout.planeTurn.rotate(look.planeDegrees);
    layout.planeTurn.translate(-plane.center().x(), -plane.center().y());
    layout.plane = plane;
    return layout;
}

QRectF BerthwatchRunwayMark::inkRect() const {
    const Look look = currentLook();
    const Layout layout = layoutOf(look);
    const QRectF plane = layout.planeTurn.mapRect(layout.plane);
    QRectF ink = plane.adjusted(-look.planeShadowRadius, -look.planeShadowRadius,
                                look.planeShadowRadius, look.planeShadowRadius);
    ink |= layout.lane;
    if (look.litLaneOpacity > 0) {
        ink |= layout.lit.adjusted(-look.glowRadius, -look.glowRadius, look.glowRadius,
                                   look.glowRadius);
    }
    return ink;
}

void BerthwatchRunwayMark::paintEvent(QPaintEvent*) {
    const Look look = currentLook();
    const Layout layout = layoutOf(look);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsulePath(layout.lane), withOpacity(look.lane, look.baseLaneOpacity));

    if (look.litLaneOpacity > 0) {
        const QPainterPath litPath = capsulePath(layout.lit);
        painter.setOpacity(std::clamp(look.litLaneOpacity, 0.0, 1.0));
        paintShadow(painter, litPath, look.glow, look.glowRadius);
        QLinearGradient gradient(layout.lit.topLeft(), layout.lit.topRight());
        gradient.setColorAt(0, withOpacity(look.lane, 0.82));
        gradient.setColorAt(0.5, look.lane);
        gradient.setColorAt(1, look.litLaneEnd);
        painter.fillPath(litPath, gradient);
        painter.setOpacity(1);
    }

    painter.setTransform(layout.planeTurn);
    const QPainterPath planePath = BerthwatchPlaneShape::path(layout.plane);
    paintShadow(painter, planePath, look.planeShadow, look.planeShadowRadius);
    painter.fillPath(planePath, look.plane);
}

} // namespace bw::design
