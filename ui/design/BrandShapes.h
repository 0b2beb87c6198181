#pragma once

#include "ui/design/Motion.h"

#include <QPainterPath>
#include <QPointer>
#include <QTransform>
#include <QWidget>
#include <cstdint>

class QPainter;

namespace bw {
class Clock;
}

namespace bw::design {

// The product's plane, seen from the side with its nose to the right, fitted into any rectangle.
struct BerthwatchPlaneShape {
    // The outline's own coordinates: the box the drawing was made in.
    static QRectF designBounds();
    // The outline scaled uniformly and centred in `rect`; filled with the non-zero rule.
    static QPainterPath path(const QRectF& rect);
};

// Fills the plane framed in `frame`, turned by `degrees` about the frame's centre (negative lifts
// the nose), antialiased.
void paintPlane(QPainter& painter, const QRectF& frame, const QColor& color, qreal degrees = 0);

// A soft shadow or glow of `path` with no offset, spreading about `radius` beyond it; paint it
// before the shape it belongs to.
void paintShadow(QPainter& painter, const QPainterPath& path, const QColor& color, qreal radius);

// A capsule: a rectangle whose short sides are half circles.
QPainterPath capsulePath(const QRectF& rect);

// A rounded rectangle whose corners ease into the straight sides instead of meeting them as
// quarter circles, as the window's cards and tiles are drawn.
QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius);

enum class BerthwatchRunwayState : std::uint8_t { idle, hovered, targeted, launching, rejected };

// The drop zone's logo: a runway lane that lights up and a plane that rolls and tilts with the
// state. Lays itself out in its contents rectangle; contents margins give the glow and the
// launching plane room to reach past that frame. Decorative, takes no input.
class BerthwatchRunwayMark : public QWidget {
    Q_OBJECT
public:
    explicit BerthwatchRunwayMark(QWidget* parent = nullptr);

    BerthwatchRunwayState state() const { return state_; }
    void setState(BerthwatchRunwayState state);
    bool isAnimating() const { return transition_.isRunning(); }
    // Where the drawing reaches now, glow and shadow included: the owner leaves this much room.
    QRectF inkRect() const;
    // How long an import waits for the mark's launch to show before it starts; shorter under
    // reduce motion, where the launch is a short fade.
    static double launchWaitSeconds();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Everything a state sets, so that a change can move each part from where it is now.
    struct Look {
        QColor lane;
        qreal baseLaneOpacity;
        QColor litLaneEnd;
        qreal litFraction;
        qreal litLaneOpacity;
        QColor glow;
        qreal glowRadius;
        QColor plane;
        qreal planeDegrees;
        QPointF planeOffset;
        QColor planeShadow;
        qreal planeShadowRadius;
    };
    static Look lookOf(BerthwatchRunwayState state);
    Look currentLook() const;
    // Where a look puts the lanes and the plane (before its turn) in the widget.
    struct Layout {
        QRectF lane;
        QRectF lit;
        QRectF plane;
        QTransform planeTurn;
    };
    Layout layoutOf(const Look& look) const;

    BerthwatchRunwayState state_ = BerthwatchRunwayState::idle;
    Look from_ = lookOf(BerthwatchRunwayState::idle);
    AnimatedValue transition_{1.0};
};

// The scan's progress bar: a lane that fills from the leading edge with the plane riding its
// front; at the end the plane takes off and vanishes. Lays itself out in its contents rectangle, as
// the runway mark does, except the plane in flight: it leaves the bar up and ahead, so it is drawn
// on a layer over the window along its path. Decorative, takes no input.
class BerthwatchProgressRunway : public QWidget {
    Q_OBJECT
public:
    // The take-off waits on `clock`; none means the real clock.
    explicit BerthwatchProgressRunway(QWidget* parent = nullptr, Clock* clock = nullptr);
    ~BerthwatchProgressRunway() override;

    double progress() const { return progress_; }
    // Any value; drawn clamped to 0...1. Reaching 0.999 starts the take-off.
    void setProgress(double progress);
    bool hasTakenOff() const { return hasTakenOff_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool isDone() const { return progress_ >= 0.999; }
    void restartTakeOff();
    // Where the plane is framed, in contents coordinates, `flight` of the way through its take-off.
    QRectF planeFrame(qreal flight) const;
    void paintPlaneAt(QPainter& painter, qreal flight) const;
    // Puts the layer that draws the plane in flight in place, or removes it once landed or hidden.
    void followFlight();
    void endFlight();

    Clock& clock_;
    double progress_ = 0;
    bool hasTakenOff_ = false;
    AnimatedValue takeOff_{0.0};
    int takeOffTask_ = 0; // a new number cancels the waiting take-off
    QPointer<QWidget> flightLayer_;
};

} // namespace bw::design
