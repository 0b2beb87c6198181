#pragma once

#include "ui/design/Motion.h"

#include <QAbstractButton>

namespace bw::design {

// How a kind of hover button moves its hover look in and out.
struct HoverButtonStyle {
    Motion hover = MotionKind::skipping().easeOut(0.14);
};

// A custom-painted button: plain (no system chrome), its whole rectangle clickable, reached with
// Tab. Pointer entry and exit move its hover look in and out with its style's motion; subclasses
// paint from hoverProgress().
class HoverButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit HoverButton(QWidget* parent = nullptr, HoverButtonStyle style = {});

    bool isHovering() const { return isHovering_; }
    // 0 at rest, 1 fully hovered.
    qreal hoverProgress() const { return hover_.value(); }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Called once the hover state has changed.
    virtual void hoverChanged(bool hovering) { Q_UNUSED(hovering); }

private:
    void setHovering(bool hovering);

    HoverButtonStyle style_;
    bool isHovering_ = false;
    AnimatedValue hover_{0.0};
};

} // namespace bw::design
