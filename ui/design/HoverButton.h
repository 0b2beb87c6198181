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
// paint from hoverProgress(). A disabled button hovers as an enabled one does; a subclass whose
// disabled look ignores the pointer paints so itself.
class HoverButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit HoverButton(QWidget* parent = nullptr, HoverButtonStyle style = {});

    bool isHovering() const { return isHovering_; }
    // Hovering and the look not withheld.
    bool showsHover() const;
    // 0 at rest, 1 fully hovered.
    qreal hoverProgress() const { return hover_.value(); }

signals:
    void hoveringChanged(bool hovering);
    // showsHover() changed.
    void hoverShownChanged();
    // Each step of the hover look's motion.
    void hoverProgressChanged();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The hover look stops where its motion is heading: the widget now shows something else.
    void settleHoverLook();
    // While withheld, the hover look stays away even under the pointer (a button confirming what
    // it did); it moves with the style's motion either way.
    void withholdHoverLook(bool withheld);

private:
    void setHovering(bool hovering);
    void followHover();

    HoverButtonStyle style_;
    bool isHovering_ = false;
    bool isHoverLookWithheld_ = false;
    bool isHoverShown_ = false;
    AnimatedValue hover_{0.0};
};

} // namespace bw::design
