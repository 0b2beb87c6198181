#include "ui/workspace/ScanProgressPresentation.h"

#include <algorithm>

namespace bw::workspace {

namespace {

constexpr double epsilon = 0.0001;
constexpr double startProgress = 0.02;
constexpr double moveSeconds = 0.055;
constexpr double passSeconds = 0.05;
constexpr double reducedPassSeconds = 0.01;

double clampedUnit(double value) {
    return std::min(1.0, std::max(0.0, value));
}

} // namespace

ScanProgressPresentation::ScanProgressPresentation(Clock& clock, double fillDuration,
                                                   QObject* parent)
    : QObject(parent), clock_(clock), fillDuration_(fillDuration), startedAt_(clock.now()) {}

void ScanProgressPresentation::start(double target, const std::vector<double>& thresholds,
                                     bool reduceMotion) {
    const double t = clampedUnit(target);
    reduceMotion_ = reduceMotion;
    // A new list of steps, or a target well below the bar, is a new scan.
    if (!thresholds_.empty() && (thresholds != thresholds_ || progress_ > t + 0.01)) {
        restart(thresholds, t);
        return;
    }
    thresholds_ = thresholds;
    targetProgress_ = std::max(targetProgress_, t);
    ensureWorker();
}

void ScanProgressPresentation::stopWorker() {
    ++generation_;
    workerRunning_ = false;
}

double ScanProgressPresentation::timeCeiling() const {
    const double elapsed = std::chrono::duration<double>(clock_.now() - startedAt_).count();
    const double share = std::min(1.0, std::max(0.0, elapsed) / fillDuration_);
    return std::min(startProgress + (1 - startProgress) * share, targetProgress_);
}

void ScanProgressPresentation::restart(const std::vector<double>& thresholds, double target) {
    ++generation_;
    workerRunning_ = false;
    thresholds_ = thresholds;
    targetProgress_ = target;
    startedAt_ = clock_.now();
    setProgress(std::min(startProgress, target), 0);
    completedStepCount_ = 0;
    activeStep_ = thresholds_.empty() ? std::nullopt : std::optional(0);
    emit stepsChanged(false);
    ensureWorker();
}

void ScanProgressPresentation::ensureWorker() {
    if (workerRunning_ || thresholds_.empty()) {
        return;
    }
    workerRunning_ = true;
    const int generation = ++generation_;
    clock_.schedule(Clock::Duration::zero(), this, [this, generation] { runWorker(generation); });
}

// One run of passes up to the next sleep; the sleep schedules the next run.
void ScanProgressPresentation::runWorker(int generation) {
    const auto sleep = [&](double seconds) {
        clock_.schedule(bw::seconds(seconds), this, [this, generation] { runWorker(generation); });
    };
    const double move = reduceMotion_ ? 0 : moveSeconds;
    while (generation == generation_) {
        const double c = timeCeiling();
        const double p = progress_;
        const int k = completedStepCount_;
        const int n = int(thresholds_.size());
        if (k < n && c + epsilon >= thresholds_[k]) {
            const double threshold = thresholds_[k];
            if (threshold > p + epsilon) {
                const double catchUp = std::min(0.18, std::max(0.045, (threshold - p) * 0.45));
                setProgress(threshold, reduceMotion_ ? 0 : catchUp);
                if (!reduceMotion_) {
                    return sleep(catchUp);
                }
                continue;
            }
            setCompletedStepCount(k + 1, !reduceMotion_);
            continue;
        }
        if (k < n) {
            const double goal = std::min(c, std::max(p, thresholds_[k] - 0.002));
            if (goal > p + epsilon) {
                setProgress(goal, move);
                return sleep(reduceMotion_ ? reducedPassSeconds : passSeconds);
            }
            if (targetProgress_ > c + epsilon) {
                return sleep(passSeconds);
            }
            break;
        }
        if (c > p + epsilon) {
            setProgress(c, move);
        }
        if (targetProgress_ > c + epsilon) {
            return sleep(passSeconds);
        }
        break;
    }
    endWorker(generation);
}

void ScanProgressPresentation::endWorker(int generation) {
    if (generation != generation_) {
        return;
    }
    workerRunning_ = false;
    if (hasPendingWork()) {
        ensureWorker();
    }
}

bool ScanProgressPresentation::hasPendingWork() const {
    if (thresholds_.empty()) {
        return false;
    }
    const double c = timeCeiling();
    const int k = completedStepCount_;
    const int n = int(thresholds_.size());
    if (targetProgress_ > c + epsilon || (k < n && c + epsilon >= thresholds_[k])) {
        return true;
    }
    const double goal = k < n ? std::min(thresholds_[k] - 0.002, c) : c;
    return goal > progress_ + epsilon;
}

void ScanProgressPresentation::setCompletedStepCount(int count, bool animated) {
    if (count == completedStepCount_) {
        return;
    }
    completedStepCount_ = count;
    activeStep_ = count < int(thresholds_.size()) ? std::optional(count) : std::nullopt;
    emit stepsChanged(animated);
}

void ScanProgressPresentation::setProgress(double value, double animationSeconds) {
    if (value == progress_) {
        return;
    }
    progress_ = value;
    emit progressChanged(value, animationSeconds);
}

} // namespace bw::workspace
