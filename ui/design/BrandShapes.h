#pragma once

#include "ui/design/Motion.h"

#include <QPainterPath>
#include <QWidget>
#include <cstdint>

class QPainter;
class QTimer;

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

// A capsule: a rectangle whose short sides are half circles.
QPainterPath capsulePath(const QRectF& rect);

// A rounded rectangle whose corners ease into the straight sides instead of meeting them as
// quarter circles, as the window's cards and tiles are drawn.
QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius);

enum class BerthwatchRunwayState : std::uint8_t { idle, hovered, targeted, launching, rejected };

// The drop zone's logo: a runway lane that lights up and a plane that rolls and tilts with the
// state. Fills the size it is given; decorative, takes no input.
class BerthwatchRunwayMark : public QWidget {
    Q_OBJECT
public:
    explicit BerthwatchRunwayMark(QWidget* parent = nullptr);

    BerthwatchRunwayState state() const { return m_state; }
    void setState(BerthwatchRunwayState state);
    bool isAnimating() const { return m_transition.isRunning(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BerthwatchRunwayState m_state = BerthwatchRunwayState::idle;
    BerthwatchRunwayState m_previous = BerthwatchRunwayState::idle;
    AnimatedValue m_transition{1.0};
};

// The scan's progress bar: a lane that fills from the leading edge with the plane riding its
// front; at the end the plane takes off and vanishes. Decorative, takes no input.
class BerthwatchProgressRunway : public QWidget {
    Q_OBJECT
public:
    explicit BerthwatchProgressRunway(QWidget* parent = nullptr);

    double progress() const { return m_progress; }
    // Any value; drawn clamped to 0...1. Reaching 0.999 starts the take-off.
    void setProgress(double progress);
    bool hasTakenOff() const { return m_hasTakenOff; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool isDone() const;
    void doneChanged();

    double m_progress = 0;
    bool m_hasTakenOff = false;
    AnimatedValue m_takeOff{0.0};
    QTimer* m_takeOffDelay;
};

} // namespace bw::design
