#pragma once

#include <QWidget>

namespace bw::design {
class AnimatedValue;
}

namespace bw::report {

// The small drawing of the empty history: a runway line with the plane, which rolls forward once
// when it is first shown (at once with reduce motion).
class ReportHistoryEmptyPlane : public QWidget {
    Q_OBJECT

public:
    explicit ReportHistoryEmptyPlane(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool hasAppeared_ = false;
    design::AnimatedValue* progress_;
};

} // namespace bw::report
