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
    EXPECT_EQ(audit.passedChecks.size(), 2u);
    // Only the flagged states are named, in the order they came.
    EXPECT_EQ(audit.findings.back().evidence,
              "rejected, Developer_Action_Needed, REJECTED, MISSING_METADATA");
    bw::test::expectSoundFindings(audit.findings, EvidenceSource::appStoreConnect);
}
