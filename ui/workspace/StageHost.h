#pragma once

#include "ui/design/Motion.h"

#include <QPointF>
#include <QPointer>
#include <QWidget>

namespace bw::workspace {

// Shows one screen at a time, filling its area. A new screen fades in from an offset while the
// old one fades out towards its own offset and is then deleted; only the new one takes input.
class StageHost : public QWidget {
    Q_OBJECT

public:
    struct Transition {
        QPointF enterFrom; // where the new screen starts, relative to its place
        QPointF leaveTo;   // where the old screen goes
        design::Motion motion;
    };

    explicit StageHost(QWidget* parent = nullptr);

    QWidget* current() const { return current_; }
    // Takes ownership of `next`.
    void present(QWidget* next, const Transition& transition);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(double progress);
    void finish();

    QPointer<QWidget> current_;
    QPointer<QWidget> leaving_;
    Transition transition_;
    design::AnimatedValue progress_{1.0};
};

} // namespace bw::workspace
