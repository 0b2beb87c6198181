#pragma once

#include "model/AppSection.h"
#include "ui/window/SidebarRowButton.h"

namespace bw::window {

// The small plane of the Scan destination with its trail: it brightens and nudges forward on
// hover, settles a little higher with a full trail when selected, and tilts up with an accent
// trail while a build is dragged over the window.
class SidebarPlaneIcon {
public:
    explicit SidebarPlaneIcon(QWidget* owner);

    void setState(bool isSelected, bool isDropTargeted, bool isHovering);
    // Draws into a 22 × 18 frame at `origin`.
    void paint(QPainter& painter, QPointF origin) const;

private:
    bool isSelected_ = false;
    bool isDropTargeted_ = false;
    bool isHovering_ = false;
    design::AnimatedValue trailScale_{0.18};
    design::AnimatedValue trailOpacity_{0.0};
    design::AnimatedValue offsetX_{0.0};
    design::AnimatedValue offsetY_{0.0};
    design::AnimatedValue rotation_{0.0};
};

// The row of one destination in the sidebar: its icon, its title and the row's fill.
class SidebarDestinationButton : public SidebarRowButton {
    Q_OBJECT

public:
    SidebarDestinationButton(AppSection section, QWidget* parent = nullptr);

    AppSection section() const { return section_; }
    void setDropTargeted(bool targeted);

    static QString title(AppSection section);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updatePlane();

    AppSection section_;
    bool isDropTargeted_ = false;
    SidebarPlaneIcon plane_;
};

} // namespace bw::window
