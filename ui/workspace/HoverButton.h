#pragma once

#include "ui/design/Motion.h"

#include <QAbstractButton>

namespace bw::workspace {

// A custom-painted button of the staged build screen: plain (no system chrome), its whole
// rectangle clickable. Pointer entry and exit ease its hover look in and out over 0.14 s (at once
// with reduce motion); subclasses paint from hoverProgress().
class HoverButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit HoverButton(QWidget* parent = nullptr);

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

    bool isHovering_ = false;
    design::AnimatedValue hover_{0.0};
};

} // namespace bw::workspace
