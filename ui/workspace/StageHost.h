#pragma once

#include "ui/design/Motion.h"

#include <QPointF>
#include <QPointer>
#include <QWidget>

namespace bw::workspace {

class EnteringEffect;
class LeavingPicture;
class TravellingLine;

// Shows one screen at a time, filling its area. A new screen takes the old one's place at once
// (the old one is hidden and deleted on the next turn of the event loop) and fades in from an
// offset and a slight shrink, while a picture of the old one fades out towards its own offset and
// shrink above it. The new screen is composed through a graphics effect only while it moves, so
// a settled screen paints as if it were alone.
class StageHost : public QWidget {
    Q_OBJECT

public:
    struct Transition {
        QPointF enterFrom; // where the new screen starts, relative to its place
        QPointF leaveTo;   // where the picture of the old screen goes
        design::Motion motion;
        qreal scale = 1; // the size, about the centre, both screens have while out of place
    };

    explicit StageHost(QWidget* parent = nullptr);

    QWidget* current() const { return current_; }
    // Takes ownership of `next`.
    void present(QWidget* next, const Transition& transition);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(double progress);
    void settle();

    QPointer<QWidget> current_;
    LeavingPicture* leaving_;
    TravellingLine* line_;
    QPointer<EnteringEffect> entering_;
    Transition transition_;
    design::AnimatedValue progress_{1.0};
};

} // namespace bw::workspace
