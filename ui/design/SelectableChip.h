#pragma once

#include "ui/design/HoverButton.h"

class QPainter;

namespace bw::design {

// A capsule chip of a filter row: white at 0.09 while selected, at 0.045 under the pointer (the
// selection wins), ringed while it has the keyboard. The screen owns the selection; a click only
// asks for it. Subclasses draw the content.
class SelectableChip : public HoverButton {
    Q_OBJECT

public:
    // `selection` is the kind's motion between the selected and plain looks.
    SelectableChip(const QString& title, const Motion& selection, QWidget* parent = nullptr);

    // Moves the look with the selection motion once shown; before, at once.
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    bool isAnimating() const { return selection_.isRunning(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the title and whatever else the chip shows; `selected` runs from 0 to 1.
    virtual void paintContent(QPainter& painter, qreal selected) = 0;
    virtual void selectionChanged() {}

private:
    Motion selectionMotion_;
    bool selected_ = false;
    AnimatedValue selection_{0.0};
};

} // namespace bw::design
