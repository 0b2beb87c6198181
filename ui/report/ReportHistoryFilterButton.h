#pragma once

#include "ui/design/HoverButton.h"

#include <QAbstractButton>

namespace bw::design {
class AnimatedValue;
}

namespace bw::report {

// A capsule chip of the history filter: its title and how many reports it admits. The screen
// owns the selection; a click only asks for it.
class ReportHistoryFilterButton : public design::HoverButton {
    Q_OBJECT

public:
    ReportHistoryFilterButton(const QString& title, QWidget* parent = nullptr);

    void setCount(qsizetype count);
    qsizetype count() const { return count_; }
    // `animated` false sets the look at once (reduce motion).
    void setSelected(bool selected, bool animated);
    bool isSelected() const { return selected_; }
    bool isAnimating() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleName();

    qsizetype count_ = 0;
    bool selected_ = false;
    design::AnimatedValue* selection_;
};

} // namespace bw::report
