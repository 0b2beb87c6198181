#pragma once

#include "ui/design/Motion.h"
#include "ui/workspace/ReviewSteps.h"

#include <QWidget>
#include <vector>

class QAbstractButton;
class QBoxLayout;
class QLabel;

namespace bw {
class AppModel;
}

namespace bw::design {
class OnDeviceLine;
class BerthwatchProgressRunway;
} // namespace bw::design

namespace bw::workspace {

class PhaseLabel;
class RollingNumber;
class ScanProgressPresentation;

// What the user sees while a scan is prepared and runs: the phase label, the percentage and the
// runway, the review steps, "Cancel scan" while the model offers it. Everything it shows comes
// from its presentation, which eases the model's scan phase; the screen only paints.
class ScanProgressView : public QWidget {
    Q_OBJECT

public:
    explicit ScanProgressView(AppModel& model, QWidget* parent = nullptr);
    ~ScanProgressView() override;

    // The target of the model's scan phase: its progress while scanning, 0.02 while preparing,
    // 1 when finished, 0 otherwise.
    double phaseTarget() const;
    QString phaseLabel() const;
    ScanProgressStepState stepState(int index) const;
    std::vector<ScanProgressStep> steps() const;
    // The presentation's progress within 0...1, as the percentage and the runway show it.
    double clampedProgress() const;

    ScanProgressPresentation& presentation() { return *presentation_; }

    // The cancel button's action: asks the model, and nothing else.
    void cancelScan();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeColumn();
    void followPhase();
    void synchronize(int generation);
    void buildSteps();
    void followSteps(bool animated);
    void followProgress(double progress, double animationSeconds);
    void showProgress(double shown);
    void updateLabels();
    void applySizeClasses();
    void place();

    AppModel& model_;
    ScanProgressPresentation* presentation_;
    QWidget* column_;
    QBoxLayout* columnLayout_;
    QBoxLayout* blockLayout_;
    PhaseLabel* phaseLabel_;
    RollingNumber* percentage_;
    design::BerthwatchProgressRunway* runway_;
    QWidget* stepsBox_ = nullptr;
    std::vector<ReviewStepView*> stepViews_;
    QAbstractButton* cancel_;
    design::OnDeviceLine* footer_;
    design::AnimatedValue shownProgress_;
    double syncedTarget_ = -1;
    int syncGeneration_ = 0;
    bool compact_ = false;
    bool narrow_ = false;
    bool stepsNarrow_ = false;
    std::size_t stepCount_ = 0;
};

} // namespace bw::workspace
