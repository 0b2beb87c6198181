#pragma once

#include "ui/design/HoverButton.h"

#include <QAbstractButton>

namespace bw::design {
class AnimatedValue;
}

namespace bw::window {

// A capsule chip of the guideline browser's category row. The browser owns the selection.
class GuidelineCategoryChip : public design::HoverButton {
    Q_OBJECT

public:
    explicit GuidelineCategoryChip(const QString& title, QWidget* parent = nullptr);

    // `animated` false sets the look at once (reduce motion).
    void setSelected(bool selected, bool animated);
    bool isSelected() const { return selected_; }
    bool isAnimating() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool selected_ = false;
    design::AnimatedValue* selection_;
};

} // namespace bw::window
