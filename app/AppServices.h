#pragma once

#include "inspection/BuildScanner.h"
#include "model/ReportStore.h"
#include "services/appstoreconnect/AppStoreConnectService.h"
#include "services/backend/BerthwatchBackend.h"
#include "services/screenshots/ScreenshotAIService.h"
#include "services/screenshots/ScreenshotAuditService.h"

namespace bw {

// The services the application model calls, built once at launch. The model's worker threads
// share them: none keeps state between calls but the report store's memory of the files it last
// read and wrote, which it guards itself.
struct AppServices {
    BuildScanner scanner;
    ScreenshotAuditService screenshotAuditor;
    ReportStore reportStore;
    BerthwatchBackend backend;
    AppStoreConnectService ascService;
    ScreenshotAIService screenshotAI;
};

} // namespace bw
