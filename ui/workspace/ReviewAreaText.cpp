#include "ui/workspace/ReviewAreaText.h"

#include <array>

namespace bw::workspace {

const ReviewAreaText& reviewAreaText(ScreenshotPrompt prompt) {
    static const std::array<ReviewAreaText, 5> texts{{
        {"Paywall", "creditcard", "Price, trial, and what they buy"},
        {"Sign in", "person.crop.circle", "Sign in and create account"},
        {"Delete account", "trash", "The deletion path inside the app"},
        {"Permissions", "hand.raised", "ATT, camera, or location"},
        {"Restore", "arrow.clockwise", "Restore or manage subscription"},
    }};
    return texts[static_cast<std::size_t>(prompt)];
}

} // namespace bw::workspace
