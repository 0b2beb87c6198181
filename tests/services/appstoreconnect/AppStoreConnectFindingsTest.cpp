#include "services/appstoreconnect/AppStoreConnectAudit.h"
#include "tests/support/Findings.h"

#include <gtest/gtest.h>

using namespace bw;

namespace {

BuildMetadata build(const QString& platform = "iphoneos") {
    return {"Flight Deck", "com.example.flightdeck", "2.4.1", "310",       platform, "16.0",
            {"arm64"},     {"iphoneos17.0"},         1024,    std::nullopt};
}

AppStoreConnectSnapshot matchedSnapshot() {
    AppStoreConnectSnapshot snapshot;
    snapshot.appID = "1234567890";
    snapshot.appName = "Flight Deck";
    snapshot.bundleIdentifier = "com.example.flightdeck";
    snapshot.bundleIdentifierMatched = true;
    snapshot.matchedVersion = "2.4.1";
    snapshot.versionState = "PREPARE_FOR_SUBMISSION";
    snapshot.localizationCount = 2;
    snapshot.screenshotCount = 5;
    snapshot.reviewDetailsPresent = true;
    return snapshot;
}

} // namespace

TEST(AppStoreConnectFindings, EmptyRecordFindingsInOrder) {
    AppStoreConnectSnapshot snapshot = matchedSnapshot();
    snapshot.localizationCount = 0;
    snapshot.screenshotCount = 0;
    snapshot.reviewDetailsPresent = false;
    snapshot.productStates = {"APPROVED", "rejected",         "Developer_Action_Needed",
                              "REJECTED", "MISSING_METADATA", "WAITING_FOR_REVIEW"};
    const AppStoreConnectAudit audit = makeAudit(snapshot, build());
    EXPECT_EQ(bw::test::findingIds(audit.findings),
              (std::vector<QString>{"asc.localizations.empty", "asc.screenshots.empty",
                                    "asc.review-details.empty", "asc.products.state"}));
    EXPECT_EQ(audit.passedChecks,
              (std::vector<QString>{"App Store Connect bundle identifier matched",
                                    "App Store Connect version 2.4.1 matched"}));
    // Only the flagged states are named, in the order they came.
    EXPECT_EQ(audit.findings.back().evidence,
              "rejected, Developer_Action_Needed, REJECTED, MISSING_METADATA");
    bw::test::expectSoundFindings(audit.findings, EvidenceSource::appStoreConnect);
}

TEST(AppStoreConnectFindings, UnreadPartsAreReportedOnceAndNeverAsEmpty) {
    using Part = AppStoreConnectPart;
    struct Case {
        const char* name;
        std::vector<AppStoreConnectReadFailure> failures;
        int localizations;
        int screenshots;
        std::vector<QString> states;
        std::vector<QString> findingIds;
        std::vector<QString> passedChecks;
        QString evidence;
    };
    const QString bundle = "App Store Connect bundle identifier matched";
    const QString version = "App Store Connect version 2.4.1 matched";
    const Case cases[] = {
        {"every screenshot set unread",
         {{Part::screenshotSets, "loc-1", "a"}, {Part::screenshotSets, "loc-2", "b"}},
         2,
         0,
         {},
         {"asc.request.incomplete"},
         {bundle, version, "2 App Store localizations found", "App Review detail record found"},
         "Not read: screenshot sets of localization loc-1 (a), screenshot sets of localization "
         "loc-2 (b)"},
        {"review detail and products unread",
         {{Part::reviewDetail, "", "x"},
          {Part::inAppPurchases, "", "y"},
          {Part::subscriptions, "grp-1", "z"}},
         1,
         1,
         {"APPROVED"},
         {"asc.request.incomplete"},
         {bundle, version, "1 App Store localization found", "1 App Store screenshots found"},
         "Not read: App Review detail (x), in-app purchases (y), subscriptions of group grp-1 (z)"},
        {"flagged states are still reported",
         {{Part::subscriptionGroups, "", "g"}},
         1,
         1,
         {"REJECTED"},
         {"asc.products.state", "asc.request.incomplete"},
         {bundle, version, "1 App Store localization found", "1 App Store screenshots found",
          "App Review detail record found"},
         "Not read: subscription groups (g)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppStoreConnectSnapshot snapshot = matchedSnapshot();
        snapshot.readFailures = c.failures;
        snapshot.localizationCount = c.localizations;
        snapshot.screenshotCount = c.screenshots;
        snapshot.productStates = c.states;
        snapshot.reviewDetailsPresent = !std::any_of(
            c.failures.begin(), c.failures.end(),
            [](const AppStoreConnectReadFailure& f) { return f.part == Part::reviewDetail; });
        const AppStoreConnectAudit audit = makeAudit(snapshot, build());
        EXPECT_EQ(bw::test::findingIds(audit.findings), c.findingIds);
        EXPECT_EQ(audit.passedChecks, c.passedChecks);
        const Finding* incomplete =
            bw::test::findingWithId(audit.findings, "asc.request.incomplete");
        ASSERT_NE(incomplete, nullptr);
        EXPECT_EQ(incomplete->evidence, c.evidence);
        bw::test::expectSoundFindings(audit.findings, EvidenceSource::appStoreConnect);
    }
}
