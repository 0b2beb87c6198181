#pragma once

#include "model/ReportEnums.h"

#include <QString>

// What each review area means to the screenshot review: its title in finding texts, the App
// Review guideline its findings cite, and what a reviewer expects the screenshot to show.
namespace bw {

QString reviewAreaTitle(ScreenshotPrompt area);
QString reviewAreaGuideline(ScreenshotPrompt area);
QString reviewAreaExpectation(ScreenshotPrompt area);

} // namespace bw
