#pragma once

#include "ui/design/Motion.h"

#include <QString>
#include <QWidget>
#include <vector>

namespace bw::workspace {

// One review step of the progress screen and the shown progress at which it counts as complete.
struct ScanProgressStep {
    QString title;
    QString symbol;
    double completionProgress;
};

enum class ScanProgressStepState { complete, active, pending };

// "Complete", "In progress" or "Pending".
QString spokenText(ScanProgressStepState state);

// Reading, integrity, privacy and review risks; "Reviewing screens" as a fifth step only when
// screenshots are part of the scan.
std::vector<ScanProgressStep> scanProgressSteps(bool withScreenshots);

// One step as a row (beside a narrow window's list) or a column (in the wide step row): its icon
// and title in the colours of its state. A change of state cross-fades, the icon a little faster
// than the title. Speaks as one element:
// its title, with the state as value.
class ReviewStepView : public QWidget {
    Q_OBJECT

public:
    enum class Orientation { row, column };

    ReviewStepView(const ScanProgressStep& step, Orientation orientation,
                   QWidget* parent = nullptr);

    ScanProgressStepState state() const { return state_; }
    void setState(ScanProgressStepState state, bool animated);
    // A row is 38 points high instead of 42 when the window is compact.
    void setCompact(bool compact);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF iconRect() const;
    void paintIcon(QPainter& painter, ScanProgressStepState state, double opacity);
    void paintTitle(QPainter& painter, ScanProgressStepState state, double opacity);
    QFont titleFont(ScanProgressStepState state) const;

    ScanProgressStep step_;
    Orientation orientation_;
    bool compact_ = false;
    ScanProgressStepState state_ = ScanProgressStepState::pending;
    ScanProgressStepState previous_ = ScanProgressStepState::pending;
    design::AnimatedValue change_{1.0};     // colours and weight of the row
    design::AnimatedValue iconChange_{1.0}; // the icon
};

} // namespace bw::workspace
