#pragma once

#include "app/AppModelTypes.h"
#include "app/AppServices.h"

#include <functional>
#include <stop_token>

namespace bw {

// What one scan needs of the model, taken when it starts so that the worker reads nothing else.
struct ScanRequest {
    QString artifact;
    bool compareWithAppStoreConnect = false;
    ScreenshotSlots screenshotSlots;
    bool screenshotsAreStoreListing = false;
    bool includesScreenshots = false;
};

struct ScanOutcome {
    enum class Kind { finished, failed, cancelled };

    Kind kind;
    std::optional<ScanReport> report; // when finished
    QString message;                  // when failed
    bool outdatedApp = false;         // failed because the web service refuses this version
};

// Receives the progress and message of each step as it starts.
using ScanStepReporter = std::function<void(double progress, const QString& message)>;

// The identifier the web service knows the scan by: the report's id in lower case.
QString scanIdentifier(const ScanReport& report);

// The whole scan, on a worker thread: the local inspection, then App Store Connect, the local and
// the semantic screenshot reviews and the web service's review of the build evidence, merged
// into one ranked report. A failing optional service becomes a finding; a stop request ends the
// scan as cancelled after the step that notices it, without calling any later service.
ScanOutcome runScanJob(const AppServices& services, const ScanRequest& request,
                       const ScanStepReporter& reportStep, std::stop_token stop);

} // namespace bw
