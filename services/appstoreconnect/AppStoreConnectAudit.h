#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

// The parts of an App Store Connect record read after the app and its versions.
enum class AppStoreConnectPart {
    localizations,
    screenshotSets,
    reviewDetail,
    inAppPurchases,
    subscriptionGroups,
    subscriptions,
};

// A request for one part that failed, so the part is unknown rather than empty.
struct AppStoreConnectReadFailure {
    AppStoreConnectPart part;
    QString resourceID; // the localization or subscription group the request was for, if any
    QString error;      // the failure's own text

    bool operator==(const AppStoreConnectReadFailure&) const = default;
};

// What the audit learned of the build's App Store Connect record.
struct AppStoreConnectSnapshot {
    QString appID;
    QString appName;
    QString bundleIdentifier;
    std::optional<QString> matchedVersion;
    std::optional<QString> versionState;
    int localizationCount = 0;
    int screenshotCount = 0;
    bool reviewDetailsPresent = false;
    std::vector<QString> productStates;
    // True only when the app record's own "bundleId" is the build's bundle identifier.
    bool bundleIdentifierMatched = false;
    // In request order; an empty list means every requested part was read.
    std::vector<AppStoreConnectReadFailure> readFailures;

    bool operator==(const AppStoreConnectSnapshot&) const = default;
};

struct AppStoreConnectAudit {
    AppStoreConnectSnapshot snapshot;
    std::vector<Finding> findings;
    std::vector<QString> passedChecks;

    bool operator==(const AppStoreConnectAudit&) const = default;
};

// App Store Connect's platform code for the build's platform: "MAC_OS", "TV_OS", "VISION_OS",
// or "IOS" for iOS, watchOS and anything else.
QString expectedPlatformCode(const BuildMetadata& metadata);

// The findings for a build whose bundle identifier has no App Store Connect app.
Finding appMissingFinding(const BuildMetadata& metadata);

// Turns a snapshot into findings and passed checks. A part that could not be read is reported
// once as unread, never as empty.
AppStoreConnectAudit makeAudit(const AppStoreConnectSnapshot& snapshot,
                               const BuildMetadata& metadata);

} // namespace bw
