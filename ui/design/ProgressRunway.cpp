#include "platform/clock/SystemClock.h"
#include "ui/design/Accessibility.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"

#include <QPainter>
#include <algorithm>
#include <functional>

namespace bw::design {

namespace {

// The plane takes off only while motion is welcome; otherwise it waits at the end of the lane.
const MotionKind takeOffMotion = MotionKind::skipping();

constexpr qreal laneInset = 4; // the lane's centre line above the bottom edge
constexpr qreal laneHeight = 4;
constexpr QSizeF planeSize(40, 40.0 / 3);
constexpr double takeOffDelaySeconds = 0.09;
constexpr QPointF takeOffOffset(76, -38);
// Room around the plane's frame for its turn.
constexpr qreal turnMargin = 6;

// A layer over a window that lets its owner draw beyond its own bounds, in the window's
// coordinates.
class OverlayLayer : public QWidget {
public:
    OverlayLayer(QWidget* window, std::function<void(QPainter&)> paint)
        : QWidget(window), paint_(std::move(paint)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.translate(-pos());
        paint_(painter);
    }

private:
    std::function<void(QPainter&)> paint_;
};

} // namespace

BerthwatchProgressRunway::BerthwatchProgressRunway(QWidget* parent, Clock* clock)
    : QWidget(parent), clock_(clock ? *clock : SystemClock::shared()) {
    // Decoration: the progress screen's own texts tell how far the scan is.
    hideFromAccessibility(*this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&takeOff_, &AnimatedValue::valueChanged, this, [this] {
        update();
        followFlight();
    });
}

BerthwatchProgressRunway::~BerthwatchProgressRunway() {
    endFlight();
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
    endFlight();
}

void BerthwatchProgressRunway::restartTakeOff() {
    const int task = ++takeOffTask_;
    if (!isDone()) {
        hasTakenOff_ = false;
        takeOff_.setValue(0);
        return;
    }
    if (takeOffMotion.isReduced()) {
        return; // the plane waits at the end of the lane, nose up
    }
    clock_.schedule(seconds(takeOffDelaySeconds), this, [this, task] {
        if (task != takeOffTask_) {
            return;
        }
        hasTakenOff_ = true;
        takeOff_.animateTo(1, takeOffMotion.spring(0.48));
    });
}

QRectF BerthwatchProgressRunway::planeFrame(qreal flight) const {
    const qreal w = contentsRect().width();
    const qreal laneY = contentsRect().height() - laneInset;
    const qreal shown = progress_ <= 0 ? 0 : std::min(1.0, progress_);
    QRectF plane(QPointF(), planeSize);
    plane.moveCenter(QPointF(20 + shown * std::max(0.0, w - 40), laneY - (isDone() ? 14 : 9)) +
                     takeOffOffset * flight);
    return plane;
}

// Riding the front of the fill, nose up once done; the take-off carries it away and fades it.
void BerthwatchProgressRunway::paintPlaneAt(QPainter& painter, qreal flight) const {
    painter.setOpacity(std::clamp(1 - flight, 0.0, 1.0));
    paintPlane(painter, planeFrame(flight), palette::textPrimary(), isDone() ? -4 - 7 * flight : 0);
}

void BerthwatchProgressRunway::followFlight() {
    QWidget* host = window();
    if (!hasTakenOff_ || takeOff_.value() >= 1 || !isVisible() || host == this) {
        endFlight();
        return;
    }
    if (!flightLayer_) {
        flightLayer_ = new OverlayLayer(host, [this](QPainter& painter) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(mapTo(window(), contentsRect().topLeft()));
            faceForward(painter, *this, contentsRect().width() / 2.0);
            paintPlaneAt(painter, takeOff_.value());
        });
        flightLayer_->show();
        flightLayer_->raise();
    }
    // From the end of the lane to where the plane vanishes.
    const QRectF path =
        (planeFrame(0) | planeFrame(1)).adjusted(-turnMargin, -turnMargin, turnMargin, turnMargin);
    const qreal w = contentsRect().width();
    const QRectF placed =
        isRightToLeft() ? QRectF(w - path.right(), path.top(), path.width(), path.height()) : path;
    flightLayer_->setGeometry(
        placed.toAlignedRect().translated(mapTo(host, contentsRect().topLeft())));
    flightLayer_->update();
}

// Hidden at once, deleted later: this may run while the window goes through its children.
void BerthwatchProgressRunway::endFlight() {
    if (flightLayer_) {
        flightLayer_->hide();
        flightLayer_->deleteLater();
        flightLayer_ = nullptr;
    }
}

void BerthwatchProgressRunway::paintEvent(QPaintEvent*) {
    const QRectF frame = contentsRect();
    const qreal w = frame.width();
    const qreal laneY = frame.height() - laneInset;
    const qreal shown = progress_ <= 0 ? 0 : std::min(1.0, progress_);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(frame.topLeft());
    // Mirrored, the whole bar is the mirror image: the lane fills from the right and the plane
    // flies, nose first, to the left.
    faceForward(painter, *this, w / 2);
    painter.fillPath(capsulePath(QRectF(0, laneY - laneHeight / 2, w, laneHeight)),
                     palette::withOpacity(palette::runwayTrack(), 0.96));
    const qreal fillWidth = std::max(laneHeight, w * shown);
    QRectF fill(0, 0, fillWidth, laneHeight);
    fill.moveCenter(QPointF(std::max(2.0, w * shown * 0.5), laneY));
    painter.fillPath(capsulePath(fill), palette::accent());
    // In flight the plane is the layer's to draw, unless the bar is a window of its own.
    if (!flightLayer_) {
        paintPlaneAt(painter, hasTakenOff_ ? takeOff_.value() : 0);
    }
}

} // namespace bw::design
