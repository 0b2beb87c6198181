#include "platform/core/Cancelled.h"
#include "platform/json/JsonReader.h"
#include "services/appstoreconnect/AppStoreConnectError.h"
#include "tests/services/appstoreconnect/FakeAppStoreConnect.h"
#include "tests/support/Findings.h"
#include "tests/support/Thrown.h"

#include <gtest/gtest.h>
#include <thread>

using namespace bw;
using namespace bw::test;

namespace {

const QString appID = "1234567890";

BuildMetadata build(const QString& platform = "iphoneos", const QString& version = "2.4.1") {
    return {"Flight Deck", "com.example.flightdeck", version, "310",       platform, "16.0",
            {"arm64"},     {"iphoneos17.0"},         1024,    std::nullopt};
}

QJsonObject version(const QString& id, const QJsonValue& versionString, const QJsonValue& platform,
                    const QString& state = "PREPARE_FOR_SUBMISSION") {
    QJsonObject attributes{
        {"versionString", versionString}, {"appStoreState", state}, {"releaseType", "MANUAL"}};
    if (!platform.isUndefined()) {
        attributes["platform"] = platform;
    }
    return ascResource("appStoreVersions", id, attributes);
}

QJsonObject localization(const QString& id, const QString& locale) {
    return ascResource("appStoreVersionLocalizations", id,
                       {{"locale", locale}, {"marketingUrl", QJsonValue::Null}});
}

QJsonObject screenshotSet(const QString& id, const QString& displayType) {
    return ascResource("appScreenshotSets", id, {{"screenshotDisplayType", displayType}});
}

QJsonObject screenshot(const QString& id) {
    return ascResource("appScreenshots", id, {{"fileName", id + ".png"}});
}

QJsonObject product(const QString& type, const QString& id, const QJsonValue& state) {
    return ascResource(type, id, {{"name", "Pro " + id}, {"state", state}});
}

// Flight Deck 2.4.1 for iOS: two localizations with 3 and 2 screenshots, a review detail, two
// in-app purchases and two subscription groups. The versions list has a further page.
void serveCompleteRecord(FakeAppStoreConnect& fake) {
    fake.serveList("/v1/apps", {ascResource("apps", appID,
                                            {{"name", "Flight Deck Pro"},
                                             {"bundleId", "com.example.flightdeck"}})});
    fake.serveList("/v1/apps/1234567890/appStoreVersions",
                   {version("ver-mac", "2.4.1", "MAC_OS"),
                    version("ver-old", "2.4.0", "IOS", "READY_FOR_SALE"),
                    version("ver-ios", "2.4.1", "IOS")},
                   {}, true);
    fake.serveList("/v1/appStoreVersions/ver-ios/appStoreVersionLocalizations",
                   {localization("loc-en", "en-US"), localization("loc-de", "de-DE")});
    fake.serveList(
        "/v1/appStoreVersionLocalizations/loc-en/appScreenshotSets",
        {screenshotSet("set-1", "APP_IPHONE_67"), screenshotSet("set-2", "APP_IPAD_PRO_129")},
        {screenshot("shot-1"), screenshot("shot-2"), screenshot("shot-3")});
    fake.serveList("/v1/appStoreVersionLocalizations/loc-de/appScreenshotSets",
                   {screenshotSet("set-3", "APP_IPHONE_67")},
                   {screenshot("shot-4"), screenshot("shot-5")});
    fake.serve("/v1/appStoreVersions/ver-ios/appStoreReviewDetail",
               ascSingle("v1/appStoreVersions/ver-ios/appStoreReviewDetail",
                         ascResource("appStoreReviewDetails", "rev-1",
                                     {{"contactEmail", "ada@example.com"}})));
    fake.serveList("/v1/apps/1234567890/inAppPurchasesV2",
                   {product("inAppPurchases", "lifetime", "APPROVED"),
                    product("inAppPurchases", "tips", "READY_TO_SUBMIT")});
    fake.serveList("/v1/apps/1234567890/subscriptionGroups",
                   {ascResource("subscriptionGroups", "grp-1", {{"referenceName", "Pro"}}),
                    ascResource("subscriptionGroups", "grp-2", {{"referenceName", "Team"}})});
    fake.serveList("/v1/subscriptionGroups/grp-1/subscriptions",
                   {product("subscriptions", "monthly", "APPROVED")});
    fake.serveList("/v1/subscriptionGroups/grp-2/subscriptions",
                   {product("subscriptions", "team-yearly", "WAITING_FOR_REVIEW")});
}

const std::vector<std::string> completeRequests = {
    "/v1/apps?filter%5BbundleId%5D=com.example.flightdeck&limit=1",
    "/v1/apps/1234567890/appStoreVersions?limit=200",
    "/v1/appStoreVersions/ver-ios/appStoreVersionLocalizations?limit=200",
    "/v1/appStoreVersionLocalizations/loc-en/appScreenshotSets?include=appScreenshots&limit=200",
    "/v1/appStoreVersionLocalizations/loc-de/appScreenshotSets?include=appScreenshots&limit=200",
    "/v1/appStoreVersions/ver-ios/appStoreReviewDetail",
    "/v1/apps/1234567890/inAppPurchasesV2?limit=200",
    "/v1/apps/1234567890/subscriptionGroups?limit=200",
    "/v1/subscriptionGroups/grp-1/subscriptions?limit=200",
    "/v1/subscriptionGroups/grp-2/subscriptions?limit=200",
};

const QString bundleMatched = "App Store Connect bundle identifier matched";
const QString versionMatched = "App Store Connect version 2.4.1 matched";
const QString productsFine = "No queried product is rejected or missing metadata";

} // namespace

TEST(AppStoreConnectAudit, CompleteRecord) {
    FakeAppStoreConnect fake;
    serveCompleteRecord(fake);
    const AppStoreConnectAudit audit = fake.service().audit(build());

    EXPECT_EQ(fake.targets(), completeRequests) << "the versions' next page is never requested";
    AppStoreConnectSnapshot expected;
    expected.appID = appID;
    expected.appName = "Flight Deck Pro";
    expected.bundleIdentifier = "com.example.flightdeck";
    expected.bundleIdentifierMatched = true;
    expected.matchedVersion = "2.4.1";
    expected.versionState = "PREPARE_FOR_SUBMISSION";
    expected.localizationCount = 2;
    expected.screenshotCount = 5;
    expected.reviewDetailsPresent = true;
    expected.productStates = {"APPROVED", "READY_TO_SUBMIT", "APPROVED", "WAITING_FOR_REVIEW"};
    EXPECT_EQ(audit.snapshot, expected);
    EXPECT_TRUE(audit.findings.empty());
    EXPECT_EQ(audit.passedChecks.size(), 6u);
}

// Each empty part of a matched record once; only flagged product states named, in their order.
TEST(AppStoreConnectAudit, EmptyRecordFindingsInOrder) {
    AppStoreConnectSnapshot snapshot;
    snapshot.bundleIdentifierMatched = true;
    snapshot.matchedVersion = "2.4.1";
    snapshot.productStates = {"APPROVED", "rejected",         "Developer_Action_Needed",
                              "REJECTED", "MISSING_METADATA", "WAITING_FOR_REVIEW"};
    const AppStoreConnectAudit audit = makeAudit(snapshot, build());
    EXPECT_EQ(findingIds(audit.findings),
              (std::vector<QString>{"asc.localizations.empty", "asc.screenshots.empty",
                                    "asc.review-details.empty", "asc.products.state"}));
    EXPECT_EQ(audit.passedChecks, (std::vector<QString>{bundleMatched, versionMatched}));
    EXPECT_EQ(audit.findings.back().evidence,
              "rejected, Developer_Action_Needed, REJECTED, MISSING_METADATA");
    expectSoundFindings(audit.findings, EvidenceSource::appStoreConnect);
}

TEST(AppStoreConnectAudit, NoAppStopsAfterTheLookup) {
    FakeAppStoreConnect fake;
    serveCompleteRecord(fake);
    fake.serveList("/v1/apps", {});
    const AppStoreConnectAudit audit = fake.service().audit(build());

    EXPECT_EQ(fake.targets().size(), 1u);
    EXPECT_TRUE(audit.passedChecks.empty());
    AppStoreConnectSnapshot expected;
    expected.appName = "Flight Deck";
    expected.bundleIdentifier = "com.example.flightdeck";
    EXPECT_EQ(audit.snapshot, expected);
    EXPECT_EQ(findingIds(audit.findings), std::vector<QString>{"asc.app.missing"});
    EXPECT_EQ(audit.findings[0].evidence,
              "GET /v1/apps returned no match for bundleId=com.example.flightdeck");
}

TEST(AppStoreConnectAudit, VersionsMatchOnVersionStringAndPlatform) {
    struct Case {
        const char* name;
        QString platform;
        QJsonArray versions;
        std::optional<QString> matchedID; // the version whose localizations are requested
    };
    const QJsonValue none = QJsonValue::Undefined;
    const Case cases[] = {
        {"Mac Catalyst takes the Mac version", "maccatalyst",
         QJsonArray{version("v-ios", "2.4.1", "IOS"), version("v-mac", "2.4.1", "MAC_OS")},
         "v-mac"},
        {"a version without a platform matches", "iphoneos",
         QJsonArray{version("v-any", "2.4.1", none), version("v-ios", "2.4.1", "IOS")}, "v-any"},
        // Version strings compare exactly, platforms too: no request for a version's parts.
        {"no match", "iphoneos",
         QJsonArray{version("v-1", "2.4.1 ", "IOS"), version("v-2", "v2.4.1", "IOS"),
                    version("v-3", 2.41, "IOS"), version("v-mac", "2.4.1", "MAC_OS"),
                    version("v-lower", "2.4.1", "ios")},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAppStoreConnect fake;
        serveCompleteRecord(fake);
        fake.serveList("/v1/apps/1234567890/appStoreVersions", c.versions);
        const AppStoreConnectAudit audit = fake.service().audit(build(c.platform));
        const std::vector<std::string> targets = fake.targets();
        ASSERT_GE(targets.size(), 3u);
        if (c.matchedID) {
            EXPECT_EQ(targets[2], "/v1/appStoreVersions/" + c.matchedID->toStdString() +
                                      "/appStoreVersionLocalizations?limit=200");
            EXPECT_EQ(audit.snapshot.matchedVersion, "2.4.1");
        } else {
            EXPECT_EQ(targets, (std::vector<std::string>{
                                   completeRequests[0], completeRequests[1], completeRequests[6],
                                   completeRequests[7], completeRequests[8], completeRequests[9]}));
            EXPECT_EQ(findingIds(audit.findings), std::vector<QString>{"asc.version.missing"});
            EXPECT_EQ(audit.passedChecks, (std::vector<QString>{bundleMatched, productsFine}));
        }
    }
}

TEST(AppStoreConnectAudit, EmptyPartsOfTheRecord) {
    FakeAppStoreConnect fake;
    serveCompleteRecord(fake);
    fake.serveList("/v1/appStoreVersions/ver-ios/appStoreVersionLocalizations",
                   {localization("loc-en", "en-US")});
    // Screenshot sets without an included list contribute nothing; sets themselves never count.
    fake.serveList("/v1/appStoreVersionLocalizations/loc-en/appScreenshotSets",
                   {screenshotSet("set-1", "APP_IPHONE_67")});
    fake.serve("/v1/appStoreVersions/ver-ios/appStoreReviewDetail",
               ascSingle("v1/appStoreVersions/ver-ios/appStoreReviewDetail", QJsonValue::Null));
    const AppStoreConnectAudit audit = fake.service().audit(build());

    EXPECT_EQ(fake.targets().size(), 9u);
    EXPECT_EQ(findingIds(audit.findings),
              (std::vector<QString>{"asc.screenshots.empty", "asc.review-details.empty"}));
    EXPECT_EQ(audit.passedChecks,
              (std::vector<QString>{bundleMatched, versionMatched, "1 App Store localization found",
                                    productsFine}));
}

TEST(AppStoreConnectAudit, LaterFailuresAreReportedAsUnreadParts) {
    struct Case {
        const char* name;
        std::string path;
        test::ScriptedResponse response;
        std::size_t requests; // of the complete record's ten
        QString evidence;
    };
    const test::ScriptedResponse notFound{404, "{}"};
    test::ScriptedResponse dropped{200, ascList("v1/x", {})};
    dropped.closeAfterBytes = 10;
    const QString lost = "The connection to the server was lost.";
    const Case cases[] = {
        {"localizations", "/v1/appStoreVersions/ver-ios/appStoreVersionLocalizations", notFound, 8,
         "Not read: version localizations (App Store Connect request failed (404).)"},
        {"one screenshot set, the walk goes on",
         "/v1/appStoreVersionLocalizations/loc-en/appScreenshotSets", dropped, 10,
         "Not read: screenshot sets of localization loc-en (" + lost + ")"},
        {"one group's subscriptions", "/v1/subscriptionGroups/grp-1/subscriptions", notFound, 10,
         "Not read: subscriptions of group grp-1 (App Store Connect request failed (404).)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAppStoreConnect fake;
        serveCompleteRecord(fake);
        fake.serve(c.path, c.response);
        const AppStoreConnectAudit audit = fake.service().audit(build());
        EXPECT_EQ(fake.targets().size(), c.requests);
        ASSERT_EQ(findingIds(audit.findings), std::vector<QString>{"asc.request.incomplete"});
        EXPECT_EQ(audit.findings.back().evidence, c.evidence);
    }
}

TEST(AppStoreConnectAudit, AnHtmlPageForAPartIsAnUnreadPart) {
    FakeAppStoreConnect fake;
    serveCompleteRecord(fake);
    fake.serve("/v1/appStoreVersionLocalizations/loc-de/appScreenshotSets",
               htmlPage(502, "<html>Bad Gateway</html>"));
    fake.serve("/v1/appStoreVersionLocalizations/loc-en/appScreenshotSets",
               htmlPage(502, "<html>Bad Gateway</html>"));
    const AppStoreConnectAudit audit = fake.service().audit(build());
    EXPECT_EQ(findingIds(audit.findings), std::vector<QString>{"asc.request.incomplete"})
        << "no screenshot was counted, but none is reported missing";
    ASSERT_EQ(audit.snapshot.readFailures.size(), 2u);
    EXPECT_TRUE(audit.snapshot.readFailures[1].error.startsWith("The data is not valid JSON"))
        << audit.snapshot.readFailures[1].error.toStdString();
}

TEST(AppStoreConnectAudit, EarlyFailuresEndTheAudit) {
    FakeAppStoreConnect refused;
    serveCompleteRecord(refused);
    refused.serve("/v1/apps", test::ScriptedResponse{
                                  401, ascErrors("401", "NOT_AUTHORIZED", "Token expired.")});
    const auto error = thrown<AppStoreConnectError>([&] { refused.service().audit(build()); });
    EXPECT_EQ(error ? error->description() : QString(), "Token expired.");
    EXPECT_EQ(refused.targets().size(), 1u);

    FakeAppStoreConnect unreadable;
    serveCompleteRecord(unreadable);
    unreadable.serve("/v1/apps/1234567890/appStoreVersions", htmlPage(500, "<html>oops</html>"));
    EXPECT_THROW(unreadable.service().audit(build()), json::DecodeError);
    EXPECT_EQ(unreadable.targets().size(), 2u);
}

TEST(AppStoreConnectAudit, BundleIdentifierIsSentAsOneQueryValue) {
    const QString hostile = "com.example.app&filter[name]=Other#x+y=z/ü";
    FakeAppStoreConnect fake;
    serveCompleteRecord(fake);
    fake.serveList(
        "/v1/apps",
        {ascResource("apps", appID, {{"name", "Other"}, {"bundleId", "com.example.other"}})});
    BuildMetadata metadata = build();
    metadata.bundleIdentifier = hostile;
    const AppStoreConnectAudit audit = fake.service().audit(metadata);

    ASSERT_FALSE(fake.targets().empty());
    EXPECT_EQ(fake.targets()[0], "/v1/apps?filter%5BbundleId%5D=com.example.app%26filter%5Bname%5D"
                                 "%3DOther%23x%2By%3Dz%2F%C3%BC&limit=1");
    EXPECT_EQ(audit.snapshot.bundleIdentifier, "com.example.other");
    EXPECT_FALSE(audit.snapshot.bundleIdentifierMatched);
    EXPECT_EQ(audit.passedChecks.front(), versionMatched)
        << "an app of another bundle identifier is not a match";
}

TEST(AppStoreConnectAudit, IdsStayInsideTheirPathSegment) {
    FakeAppStoreConnect fake;
    serveCompleteRecord(fake);
    fake.serveList(
        "/v1/apps",
        {ascResource("apps", "../../v1/users?x=", {{"bundleId", "com.example.flightdeck"}})});
    // Nothing is served under the encoded path: the versions request fails and ends the audit.
    EXPECT_THROW(fake.service().audit(build()), json::DecodeError);
    ASSERT_GE(fake.targets().size(), 2u);
    EXPECT_EQ(fake.targets()[1], "/v1/apps/..%2F..%2Fv1%2Fusers%3Fx%3D/appStoreVersions?limit=200");
}

TEST(AppStoreConnectAudit, CancellationIsNotAnUnreadPart) {
    FakeAppStoreConnect fake;
    serveCompleteRecord(fake);
    test::ScriptedResponse slow{200, ascList("v1/groups", {})};
    slow.delay = std::chrono::seconds(20);
    fake.serve("/v1/apps/1234567890/subscriptionGroups", slow);
    std::stop_source stop;
    // Cancels once the slow request is in flight, however long the earlier ones took.
    std::jthread canceller([&stop, &fake] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (fake.targets().size() < 8u && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(fake.service().audit(build(), stop.get_token()), Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
    EXPECT_EQ(fake.targets().size(), 8u);
}
