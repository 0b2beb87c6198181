#pragma once

#include "model/ReportEnums.h"

#include <QString>

namespace bw::workspace {

// The texts a review screenshot slot shows for its area.
struct ReviewAreaText {
    QString shortTitle; // caption, open panel message and remove button
    QString symbol;     // the placeholder's symbol name
    QString subtitle;   // the placeholder's line on what the screen should show
};

const ReviewAreaText& reviewAreaText(ScreenshotPrompt prompt);

inline QString shortTitle(ScreenshotPrompt prompt) {
    return reviewAreaText(prompt).shortTitle;
}

} // namespace bw::workspace
