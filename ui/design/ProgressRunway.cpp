#include "platform/clock/SystemClock.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Palette.h"

#include <QPainter>
#include <algorithm>

namespace bw::design {

namespace {

constexpr qreal laneInset = 4; // the lane's centre line above the bottom edge
constexpr qreal laneHeight = 4;
constexpr QSizeF planeSize(40, 40.0 / 3);
constexpr double takeOffDelaySeconds = 0.09;
constexpr QPointF takeOffOffset(76, -38);

} // namespace

BerthwatchProgressRunway::BerthwatchProgressRunway(QWidget* parent, Clock* clock)
    : QWidget(parent), clock_(clock ? *clock : SystemClock::shared()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&takeOff_, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void BerthwatchProgressRunway::setProgress(double progress) {
    const bool wasDone = isDone();
    progress_ = progress;
    if (isDone() != wasDone && isVisible()) {
        restartTakeOff();
    }
    update();
}

void BerthwatchProgressRunway::showEvent(QShowEvent*) {
    restartTakeOff();
}

void BerthwatchProgressRunway::hideEvent(QHideEvent*) {
    ++takeOffTask_; // leaves hasTakenOff as it is
}

void BerthwatchProgressRunway::restartTakeOff() {
    const int task = ++takeOffTask_;
    if (!isDone()) {
        hasTakenOff_ = false;
        takeOff_.setValue(0);
        return;
    }
    if (MotionPreferences::instance().reduceMotion()) {
        return; // the plane waits at the end of the lane, nose up
    }
    clock_.schedule(seconds(takeOffDelaySeconds), this, [this, task] {
        if (task != takeOffTask_) {
            return;
        }
        hasTakenOff_ = true;
        takeOff_.animateTo(1, Motion::spring(0.48));
    });
}

void BerthwatchProgressRunway::paintEvent(QPaintEvent*) {
    const QRectF frame = contentsRect();
    const qreal w = frame.width();
    const qreal laneY = frame.height() - laneInset;
    const qreal shown = progress_ <= 0 ? 0 : std::min(1.0, progress_);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(frame.topLeft());
    painter.fillPath(capsulePath(QRectF(0, laneY - laneHeight / 2, w, laneHeight)),
                     palette::withOpacity(palette::runwayTrack(), 0.96));
    const qreal fillWidth = std::max(laneHeight, w * shown);
    QRectF fill(0, 0, fillWidth, laneHeight);
    fill.moveCenter(QPointF(std::max(2.0, w * shown * 0.5), laneY));
    painter.fillPath(capsulePath(fill), palette::accent());

    // Riding the front of the fill, nose up once done; the take-off carries it away and fades it.
    const qreal flight = hasTakenOff_ ? takeOff_.value() : 0;
    const qreal degrees = isDone() ? -4 - 7 * flight : 0;
    QRectF plane(QPointF(), planeSize);
    plane.moveCenter(QPointF(20 + shown * std::max(0.0, w - 40), laneY - (isDone() ? 14 : 9)) +
                     takeOffOffset * flight);
    painter.setOpacity(std::clamp(1 - flight, 0.0, 1.0));
    paintPlane(painter, plane, palette::textPrimary(), degrees);
}

} // namespace bw::design
