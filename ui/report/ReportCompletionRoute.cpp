#include "ui/report/ReportCompletionRoute.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::report {
namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind reportCompletionRouteMotion = design::MotionKind::skipping();

namespace palette = design::palette;

constexpr QSizeF routeSize(84, 24);
constexpr qreal trackLength = 74;
constexpr qreal gap = 11;
const QString caption = QStringLiteral("REVIEW COMPLETE");

qreal mix(qreal from, qreal to, qreal t) {
    return from + (to - from) * t;
}

QFont captionFont() {
    return design::textStyleFont(design::TextStyle::label);
}

} // namespace

ReportCompletionRoute::ReportCompletionRoute(QWidget* parent) : QWidget(parent) {
    setAccessibleName(caption);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&arrival_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
    connect(&caption_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
}

QSize ReportCompletionRoute::sizeHint() const {
    const QFontMetrics metrics(captionFont());
    // Room above the route for the plane, which lands 8 points over the line.
    return {int(routeSize.width() + gap) + metrics.horizontalAdvance(caption) + 6,
            std::max(int(routeSize.height()), metrics.height()) + 2 * 8};
}

void ReportCompletionRoute::setReportID(const QUuid& reportID) {
    if (reportID == reportID_ && !reportID_.isNull()) {
        return;
    }
    reportID_ = reportID;
    // After the first frame has shown the start picture; the caption follows the plane.
    arrival_.setValue(0);
    caption_.setValue(0);
    arrival_.animateAfter(0, 1, reportCompletionRouteMotion.spring(0.72));
    caption_.animateAfter(340, 1, reportCompletionRouteMotion.easeOut(0.28));
}

void ReportCompletionRoute::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal t = arrival_.value();
    const qreal middle = height() / 2.0;
    const qreal left = (routeSize.width() - trackLength) / 2;

    painter.fillPath(
        design::capsulePath(design::leading(*this, QRectF(left, middle - 1.5, trackLength, 3))),
        palette::trackLine());
    painter.fillPath(design::capsulePath(design::leading(
                         *this, QRectF(left, middle - 1.5, mix(3, trackLength, t), 3))),
                     palette::withOpacity(palette::accent(), 0.82));

    // The plane starts hidden, enlarged and nose-up below and left of the line.
    const QSizeF plane(31, 11);
    const QPointF offset(mix(-25, 52, t), mix(9, -8, t));
    const QRectF frame = design::leading(
        *this, QRectF(QPointF(left + offset.x(), middle - plane.height() / 2 + offset.y()), plane));
    const qreal scale = mix(1.34, 1, t);
    painter.save();
    painter.setOpacity(std::clamp(t, 0.0, 1.0));
    painter.translate(frame.center());
    painter.scale(scale, scale);
    // Mirrored, the plane flies towards the left, where the route leads.
    design::faceForward(painter, *this, 0);
    painter.translate(-frame.center());
    design::paintPlane(painter, frame, palette::textPrimary(), mix(-11, 0, t));
    painter.restore();

    const qreal shown = caption_.value();
    painter.setOpacity(std::clamp(shown, 0.0, 1.0));
    painter.setFont(captionFont());
    painter.setPen(palette::textSecondary());
    design::drawText(painter,
                     design::leading(*this, QRectF(routeSize.width() + gap + mix(-6, 0, shown), 0,
                                                   width(), height())),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
}

} // namespace bw::report
