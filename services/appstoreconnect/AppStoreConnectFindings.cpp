#include "model/ReportHelpers.h"
#include "services/appstoreconnect/AppStoreConnectAudit.h"

#include <QStringList>
#include <algorithm>

namespace bw {
namespace {

Finding finding(const QString& id, FindingSeverity severity, FindingCategory category,
                const QString& guideline, const QString& title, const QString& detail,
                const QString& evidence, const QString& fix) {
    return {id,           severity, category, guideline,
            std::nullopt, title,    detail,   evidence,
            std::nullopt, fix,      1.0,      EvidenceSource::appStoreConnect,
            std::nullopt};
}

const QString incompleteDetail =
    QStringLiteral("The connected App Store Connect record is incomplete for this release.");

bool failed(const AppStoreConnectSnapshot& snapshot, AppStoreConnectPart part) {
    return std::any_of(snapshot.readFailures.begin(), snapshot.readFailures.end(),
                       [part](const AppStoreConnectReadFailure& f) { return f.part == part; });
}

bool anyProductReadFailed(const AppStoreConnectSnapshot& snapshot) {
    return failed(snapshot, AppStoreConnectPart::inAppPurchases) ||
           failed(snapshot, AppStoreConnectPart::subscriptionGroups) ||
           failed(snapshot, AppStoreConnectPart::subscriptions);
}

QString partName(const AppStoreConnectReadFailure& failure) {
    switch (failure.part) {
    case AppStoreConnectPart::localizations:
        return QStringLiteral("version localizations");
    case AppStoreConnectPart::screenshotSets:
        return QStringLiteral("screenshot sets of localization %1").arg(failure.resourceID);
    case AppStoreConnectPart::reviewDetail:
        return QStringLiteral("App Review detail");
    case AppStoreConnectPart::inAppPurchases:
        return QStringLiteral("in-app purchases");
    case AppStoreConnectPart::subscriptionGroups:
        return QStringLiteral("subscription groups");
    case AppStoreConnectPart::subscriptions:
        return QStringLiteral("subscriptions of group %1").arg(failure.resourceID);
    }
    return {};
}

Finding requestIncompleteFinding(const AppStoreConnectSnapshot& snapshot) {
    QStringList parts;
    for (const AppStoreConnectReadFailure& failure : snapshot.readFailures) {
        parts << QStringLiteral("%1 (%2)").arg(partName(failure), failure.error);
    }
    return finding(
        "asc.request.incomplete", FindingSeverity::manual, FindingCategory::metadata, "2.3",
        "Part of the App Store Connect record could not be read",
        "Some App Store Connect requests failed, so the checks that depend on them were skipped "
        "rather than reported as missing metadata.",
        "Not read: " + parts.join(", "),
        "Check the network connection and the API key's access, then run Berthwatch again.");
}

void addVersionChecks(const AppStoreConnectSnapshot& snapshot, const QString& version,
                      AppStoreConnectAudit& audit) {
    audit.passedChecks.push_back("App Store Connect version " + version + " matched");

    // Without the localizations, the screenshots (read per localization) are unknown as well.
    const bool localizationsUnread = failed(snapshot, AppStoreConnectPart::localizations);
    if (!localizationsUnread) {
        const int count = snapshot.localizationCount;
        if (count == 0) {
            audit.findings.push_back(finding(
                "asc.localizations.empty", FindingSeverity::risk, FindingCategory::metadata, "2.3",
                "No App Store localization is configured", incompleteDetail,
                "Version " + version + " has 0 localizations.",
                "Add at least the primary locale with a description, keywords, support URL, and "
                "marketing text as needed."));
        } else {
            audit.passedChecks.push_back(QString::number(count) + " App Store localization" +
                                         (count == 1 ? "" : "s") + " found");
        }
    }

    if (snapshot.screenshotCount > 0) {
        audit.passedChecks.push_back(QString::number(snapshot.screenshotCount) +
                                     " App Store screenshots found");
    } else if (!localizationsUnread && !failed(snapshot, AppStoreConnectPart::screenshotSets)) {
        audit.findings.push_back(finding(
            "asc.screenshots.empty", FindingSeverity::risk, FindingCategory::metadata, "2.3",
            "No App Store screenshots were found", incompleteDetail,
            "The matching version exposes 0 screenshots through App Store Connect.",
            "Upload screenshots for every required device family and verify that they show the "
            "current UI."));
    }

    if (snapshot.reviewDetailsPresent) {
        audit.passedChecks.push_back("App Review detail record found");
    } else if (!failed(snapshot, AppStoreConnectPart::reviewDetail)) {
        audit.findings.push_back(finding(
            "asc.review-details.empty", FindingSeverity::manual, FindingCategory::metadata, "2.3",
            "App Review details are not available", incompleteDetail,
            "No review detail resource was returned for version " + version + ".",
            "Complete reviewer contact details, notes, and demo credentials when login or setup "
            "is required."));
    }
}

void addProductChecks(const AppStoreConnectSnapshot& snapshot, AppStoreConnectAudit& audit) {
    static const QStringList flaggedStates{"REJECTED", "DEVELOPER_ACTION_NEEDED",
                                           "MISSING_METADATA"};
    QStringList flagged;
    for (const QString& state : snapshot.productStates) {
        if (flaggedStates.contains(state.toUpper())) {
            flagged << state;
        }
    }
    if (!flagged.isEmpty()) {
        audit.findings.push_back(finding(
            "asc.products.state", FindingSeverity::risk, FindingCategory::payments, "3.1",
            "One or more products need attention",
            "App Store Connect reports a product state that can block a complete purchase review.",
            flagged.join(", "),
            "Open the affected purchases or subscriptions, complete missing metadata, and resolve "
            "developer action items."));
    } else if (!snapshot.productStates.empty() && !anyProductReadFailed(snapshot)) {
        // Claimed only when every product list was read.
        audit.passedChecks.push_back("No queried product is rejected or missing metadata");
    }
}

} // namespace

QString expectedPlatformCode(const BuildMetadata& metadata) {
    const QString name = platformDisplayName(metadata);
    if (name.contains(u"mac", Qt::CaseInsensitive)) {
        return QStringLiteral("MAC_OS");
    }
    if (name.contains(u"tv", Qt::CaseInsensitive)) {
        return QStringLiteral("TV_OS");
    }
    if (name.contains(u"vision", Qt::CaseInsensitive)) {
        return QStringLiteral("VISION_OS");
    }
    return QStringLiteral("IOS");
}

Finding appMissingFinding(const BuildMetadata& metadata) {
    const QString& bundleID = metadata.bundleIdentifier;
    return finding("asc.app.missing", FindingSeverity::blocker, FindingCategory::metadata, "2.3",
                   "No App Store Connect app matches this bundle ID",
                   "The connected App Store Connect account has no app record for " + bundleID +
                       ".",
                   "GET /v1/apps returned no match for bundleId=" + bundleID,
                   "Create or select the correct App Store Connect app record, or archive the "
                   "build with its registered bundle identifier.");
}

AppStoreConnectAudit makeAudit(const AppStoreConnectSnapshot& snapshot,
                               const BuildMetadata& metadata) {
    AppStoreConnectAudit audit{snapshot, {}, {}};
    const QString& version = metadata.version;
    if (snapshot.bundleIdentifierMatched) {
        audit.passedChecks.push_back("App Store Connect bundle identifier matched");
    }
    if (snapshot.matchedVersion) {
        addVersionChecks(snapshot, version, audit);
    } else {
        audit.findings.push_back(finding(
            "asc.version.missing", FindingSeverity::manual, FindingCategory::metadata, "2.3",
            "Version " + version + " is not prepared in App Store Connect",
            "This is normal early in the release flow, but metadata cannot be compared until the "
            "version record exists.",
            "No " + platformDisplayName(metadata) + " App Store version matched " + version + ".",
            "Create version " + version +
                " in App Store Connect, complete its metadata, then run Berthwatch again."));
    }
    addProductChecks(snapshot, audit);
    if (!snapshot.readFailures.empty()) {
        audit.findings.push_back(requestIncompleteFinding(snapshot));
    }
    return audit;
}

} // namespace bw
