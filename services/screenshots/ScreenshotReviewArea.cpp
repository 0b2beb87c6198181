#include "services/screenshots/ScreenshotReviewArea.h"

namespace bw {

QString reviewAreaTitle(ScreenshotPrompt area) {
    switch (area) {
    case ScreenshotPrompt::paywall:
        return QStringLiteral("Paywall");
    case ScreenshotPrompt::signIn:
        return QStringLiteral("Sign in");
    case ScreenshotPrompt::accountDeletion:
        return QStringLiteral("Delete account");
    case ScreenshotPrompt::permissions:
        return QStringLiteral("Permissions");
    case ScreenshotPrompt::restore:
        return QStringLiteral("Restore");
    }
    return {};
}

QString reviewAreaGuideline(ScreenshotPrompt area) {
    switch (area) {
    case ScreenshotPrompt::paywall:
    case ScreenshotPrompt::restore:
        return QStringLiteral("3.1.2");
    case ScreenshotPrompt::signIn:
        return QStringLiteral("4.8");
    // Permission prompts and their purpose texts fall under data collection and storage.
    case ScreenshotPrompt::accountDeletion:
    case ScreenshotPrompt::permissions:
        return QStringLiteral("5.1.1");
    }
    return {};
}

QString reviewAreaExpectation(ScreenshotPrompt area) {
    switch (area) {
    case ScreenshotPrompt::paywall:
        return QStringLiteral("The paywall a reviewer hits first. Include the full billed price, "
                              "renewal period, what "
                              "the subscription unlocks, and trial terms when offered.");
    case ScreenshotPrompt::signIn:
        return QStringLiteral(
            "Sign in and create account. If you have a demo login, this is where they start.");
    case ScreenshotPrompt::accountDeletion:
        return QStringLiteral("The path inside the app to delete the account. A website link is "
                              "not enough for 5.1.1(v).");
    case ScreenshotPrompt::permissions:
        return QStringLiteral("ATT, camera, photos, or location. Include the prompt and the screen "
                              "that triggers it.");
    case ScreenshotPrompt::restore:
        return QStringLiteral(
            "Restore purchases or manage subscription if you sell anything in the app.");
    }
    return {};
}

} // namespace bw
