#include "platform/core/Cancelled.h"
#include "services/appstoreconnect/AppStoreConnectService.h"

#include <QUrl>

namespace bw {
namespace {

// Percent-encodes everything but the unreserved characters, so that a value can carry "&", "=",
// "+", "#" or "/" without changing the query or the path around it.
QString encoded(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

// The first version of the build's version string on the build's platform. A version without a
// platform of its own counts for every platform.
const ASCResource* matchingVersion(const std::vector<ASCResource>& versions,
                                   const BuildMetadata& metadata) {
    const QString platformCode = expectedPlatformCode(metadata);
    for (const ASCResource& version : versions) {
        const std::optional<QString> versionString = version.stringAttribute("versionString");
        const std::optional<QString> platform = version.stringAttribute("platform");
        if (versionString == metadata.version && (!platform || *platform == platformCode)) {
            return &version;
        }
    }
    return nullptr;
}

void appendStates(const std::vector<ASCResource>& products, std::vector<QString>& states) {
    for (const ASCResource& product : products) {
        if (std::optional<QString> state = product.stringAttribute("state")) {
            states.push_back(std::move(*state));
        }
    }
}

int screenshotCount(const ASCDocument& screenshotSets) {
    int count = 0;
    for (const ASCResource& resource :
         screenshotSets.included.value_or(std::vector<ASCResource>{})) {
        count += resource.type == u"appScreenshots" ? 1 : 0;
    }
    return count;
}

} // namespace

AppStoreConnectAudit AppStoreConnectService::audit(const BuildMetadata& metadata,
                                                   std::stop_token stop) const {
    const AppStoreConnectCredentials credentials = loadCredentials();
    const auto fetch = [&](const QString& path) { return get(path, credentials, stop); };

    const ASCDocument apps =
        fetch("v1/apps?filter%5BbundleId%5D=" + encoded(metadata.bundleIdentifier) + "&limit=1");
    if (apps.data.empty()) {
        AppStoreConnectSnapshot snapshot;
        snapshot.appName = metadata.appName;
        snapshot.bundleIdentifier = metadata.bundleIdentifier;
        return {snapshot, {appMissingFinding(metadata)}, {}};
    }
    const ASCResource& app = apps.data.front();
    const QString appPath = "v1/apps/" + encoded(app.id);
    const ASCDocument versions = fetch(appPath + "/appStoreVersions?limit=200");
    const ASCResource* version = matchingVersion(versions.data, metadata);

    AppStoreConnectSnapshot snapshot;
    snapshot.appID = app.id;
    snapshot.appName = app.stringAttribute("name").value_or(metadata.appName);
    const std::optional<QString> appBundleID = app.stringAttribute("bundleId");
    snapshot.bundleIdentifier = appBundleID.value_or(metadata.bundleIdentifier);
    snapshot.bundleIdentifierMatched = appBundleID == metadata.bundleIdentifier;

    // From here on a failed request leaves its part unknown; the audit goes on without it and
    // says so, instead of reporting the part as empty.
    const auto tryFetch = [&](const QString& path, AppStoreConnectPart part,
                              const QString& resourceID = {}) -> std::optional<ASCDocument> {
        try {
            return fetch(path);
        } catch (const Cancelled&) {
            throw;
        } catch (const std::exception& error) {
            snapshot.readFailures.push_back({part, resourceID, QString::fromUtf8(error.what())});
            return std::nullopt;
        }
    };

    if (version) {
        const QString versionPath = "v1/appStoreVersions/" + encoded(version->id);
        snapshot.matchedVersion = version->stringAttribute("versionString");
        snapshot.versionState = version->stringAttribute("appStoreState");
        const std::optional<ASCDocument> localizations =
            tryFetch(versionPath + "/appStoreVersionLocalizations?limit=200",
                     AppStoreConnectPart::localizations);
        if (localizations) {
            snapshot.localizationCount = static_cast<int>(localizations->data.size());
            for (const ASCResource& localization : localizations->data) {
                const std::optional<ASCDocument> sets =
                    tryFetch("v1/appStoreVersionLocalizations/" + encoded(localization.id) +
                                 "/appScreenshotSets?include=appScreenshots&limit=200",
                             AppStoreConnectPart::screenshotSets, localization.id);
                snapshot.screenshotCount += sets ? screenshotCount(*sets) : 0;
            }
        }
        const std::optional<ASCDocument> reviewDetail =
            tryFetch(versionPath + "/appStoreReviewDetail", AppStoreConnectPart::reviewDetail);
        snapshot.reviewDetailsPresent = reviewDetail && !reviewDetail->data.empty();
    }

    if (const std::optional<ASCDocument> purchases = tryFetch(
            appPath + "/inAppPurchasesV2?limit=200", AppStoreConnectPart::inAppPurchases)) {
        appendStates(purchases->data, snapshot.productStates);
    }
    if (const std::optional<ASCDocument> groups = tryFetch(
            appPath + "/subscriptionGroups?limit=200", AppStoreConnectPart::subscriptionGroups)) {
        for (const ASCResource& group : groups->data) {
            if (const std::optional<ASCDocument> subscriptions = tryFetch(
                    "v1/subscriptionGroups/" + encoded(group.id) + "/subscriptions?limit=200",
                    AppStoreConnectPart::subscriptions, group.id)) {
                appendStates(subscriptions->data, snapshot.productStates);
            }
        }
    }
    return makeAudit(snapshot, metadata);
}

} // namespace bw
