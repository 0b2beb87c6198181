#pragma once

#include "platform/clock/Clock.h"

#include <QObject>
#include <optional>
#include <vector>

namespace bw::workspace {

// Turns the scan's coarse, irregular progress into a bar that moves smoothly and review steps
// that complete one after another at a readable pace. The bar never passes what the scan has
// reported, nor what the elapsed time allows (a ceiling rising from 2 % to 100 % over
// `fillDuration`), and waits just short of each step's threshold until that step may complete.
// The easing runs as a worker on the clock, on the main thread; it only sets values, the screen
// animates them.
class ScanProgressPresentation : public QObject {
    Q_OBJECT

public:
    // `fillDuration` is the model's minimum presentation time of a scan.
    ScanProgressPresentation(Clock& clock, double fillDuration, QObject* parent = nullptr);

    double progress() const { return progress_; }
    int completedStepCount() const { return completedStepCount_; }
    std::optional<int> activeStep() const { return activeStep_; }
    bool isWorkerRunning() const { return workerRunning_; }

    // Hands over the target of the current scan phase, the completion fraction of each listed
    // step (ascending) and the reduce-motion setting; called whenever one of them may change.
    void start(double target, const std::vector<double>& thresholds, bool reduceMotion);

    // Stops the worker when the screen goes away; a later `start` resumes.
    void stopWorker();

    // The highest value the bar may show now.
    double timeCeiling() const;

signals:
    // The shown progress moved; the screen eases to it linearly over `animationSeconds` (0: at
    // once).
    void progressChanged(double progress, double animationSeconds);
    // `completedStepCount` and `activeStep` changed; `animated` is false under reduce motion and
    // for a restart.
    void stepsChanged(bool animated);

private:
    void restart(const std::vector<double>& thresholds, double target);
    void ensureWorker();
    void runWorker(int generation);
    void endWorker(int generation);
    bool hasPendingWork() const;
    void setCompletedStepCount(int count, bool animated);
    void setProgress(double value, double animationSeconds);

    Clock& clock_;
    double fillDuration_;
    double progress_ = 0.02;
    int completedStepCount_ = 0;
    std::optional<int> activeStep_ = 0;
    double targetProgress_ = 0.02;
    std::vector<double> thresholds_;
    bool workerRunning_ = false;
    int generation_ = 0;
    Clock::TimePoint startedAt_;
    bool reduceMotion_ = false;
};

} // namespace bw::workspace
