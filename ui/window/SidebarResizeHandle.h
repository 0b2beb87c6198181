#pragma once

#include "ui/design/Motion.h"

#include <QWidget>
#include <optional>

namespace bw::window {

class SidebarWidth;

// The thin divider on the sidebar's trailing edge: dragging it sideways resizes the sidebar live
// within its bounds; the arrow keys change the width in steps of 12 points. Only its middle line
// is drawn, brighter while the pointer is over it, but its whole 8-point width takes the pointer
// and, with the keyboard on it, shows the ring.
class SidebarResizeHandle : public QWidget {
    Q_OBJECT

public:
    static constexpr int hitWidth = 8;
    static constexpr double step = 12;

    explicit SidebarResizeHandle(SidebarWidth* width, QWidget* parent = nullptr);

    enum class Adjustment { increment, decrement };
    void adjust(Adjustment direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void announce(double width);
    void setHovering(bool hovering);

    SidebarWidth* width_;
    // The width at the start of the current drag and where the pointer was then.
    std::optional<double> dragOrigin_;
    double dragStartX_ = 0;
    design::AnimatedValue hover_{0.0};
};

} // namespace bw::window
