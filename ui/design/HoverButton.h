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

signals:
    void hoveringChanged(bool hovering);
    // Each step of the hover look's motion.
    void hoverProgressChanged();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Drops the hover look at once: the widget now shows something else. Whether the pointer is
    // over it is asked anew (followPointer).
    void clearHover();
    // While withheld, the hover look stays away even under the pointer (a button confirming what
    // it did); it moves with the style's motion either way.
    void withholdHoverLook(bool withheld);

private:
    void setHovering(bool hovering);
    void followHover();

    HoverButtonStyle style_;
    bool isHovering_ = false;
    bool isHoverLookWithheld_ = false;
    AnimatedValue hover_{0.0};
};

// A scroll moves widgets under a pointer that stays put, and no enter or leave event tells them:
// sends `widget` the one the pointer would have sent, by where the pointer (in screen
// coordinates) now is, so its hover look follows. A scrolled list calls it for each of its rows
// after each scroll step, asking the pointer once (on X11 every ask is a round trip to the
// display server).
void followPointer(QWidget& widget, const QPoint& pointer);

} // namespace bw::design
