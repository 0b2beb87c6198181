#pragma once

#include "ui/design/HoverButton.h"

namespace bw::window {

// A sidebar row: the soft fill behind it while hovered and the text colour that follows hover and
// selection. The selection fill is the sidebar's moving highlight, drawn under the row. Destination
// rows and app rows draw their content on top.
class SidebarRowButton : public design::HoverButton {
    Q_OBJECT

public:
    static constexpr double cornerRadius = 14;

    explicit SidebarRowButton(QWidget* parent = nullptr);

    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected) { setChecked(selected); }
    // setEnabled, without the repaints when the row is scrolled out of sight: the window weighs
    // every widget waiting for one against all its siblings, and a long list has many.
    void setAvailable(bool available);

protected:
    // Selected: primary; hovered: primary at 0.9; otherwise secondary.
    QColor foreground() const;
    void paintBackground(QPainter& painter) const;
    // Selection is the sidebar's to give; a click never toggles it.
    void nextCheckState() override {}
    bool hitButton(const QPoint& position) const override;
};

} // namespace bw::window
