#include "model/ReportHelpers.h"
#include "model/ReportJson.h"

#include <gtest/gtest.h>
#include <thread>

using namespace bw;

TEST(SampleReport, IsBuiltOnceAndSharedAcrossThreads) {
    const ScanReport* fromThreads[4] = {};
    {
        std::vector<std::jthread> threads;
        for (auto& slot : fromThreads) {
            threads.emplace_back([&slot] { slot = &ScanReport::sample(); });
        }
    }
    for (const ScanReport* report : fromThreads) {
        EXPECT_EQ(report, &ScanReport::sample());
    }
    const ScanReport copy = ScanReport::sample();
    EXPECT_EQ(copy.id, ScanReport::sample().id);
    EXPECT_EQ(copy.createdAt, ScanReport::sample().createdAt);
    EXPECT_FALSE(copy.id.isNull());
    EXPECT_LE(copy.createdAt, QDateTime::currentDateTimeUtc());
}

TEST(SampleReport, Contents) {
    const ScanReport& sample = ScanReport::sample();
    EXPECT_EQ(sample.fileName, "FlightDeck.xcarchive");
    EXPECT_EQ(sample.verdict, Verdict::needsAttention);
    EXPECT_EQ(sample.metadata, (BuildMetadata{"FlightDeck",
                                              "com.example.flightdeck",
                                              "1.0",
                                              "42",
                                              "iOS",
                                              "17.0",
                                              {"arm64"},
                                              {"RevenueCat", "FirebaseAnalytics"},
                                              28'400'000,
                                              std::nullopt}));
    EXPECT_EQ(blockerCount(sample), 1);
    EXPECT_EQ(riskCount(sample), 1);
    EXPECT_EQ(manualCount(sample), 1);
    ASSERT_EQ(sample.findings.size(), 3u);
    const std::vector<Finding> findings{
        {"sample.debug-entitlement", FindingSeverity::blocker, FindingCategory::signing, "2.5.1",
         std::nullopt, "Debug entitlement is enabled",
         "The signed application contains get-task-allow=true, which is not valid for an App Store "
         "distribution build.",
         "codesign entitlement: com.apple.security.get-task-allow = true", std::nullopt,
         "Archive with the App Store distribution configuration and confirm get-task-allow is "
         "absent before uploading.",
         1.0, EvidenceSource::build, std::nullopt},
        {"sample.camera-copy", FindingSeverity::risk, FindingCategory::permissions, "5.1.1",
         std::nullopt, "Camera purpose string is too generic",
         "The permission message does not explain the feature that uses the camera.",
         QStringLiteral("NSCameraUsageDescription = \u201CCamera access is required.\u201D"),
         std::nullopt,
         "Name the exact feature and user benefit, for example scanning a document from the Import "
         "screen.",
         0.92, EvidenceSource::build, std::nullopt},
        {"sample.paywall", FindingSeverity::manual, FindingCategory::payments, "3.1.2",
         std::nullopt, "Subscription presentation requires screenshot evidence",
         "StoreKit is present, but the binary cannot prove that price, renewal period, Restore, "
         "Terms, and Privacy are visible.",
         "StoreKit.framework is embedded or linked.", std::nullopt,
         "Attach the paywall screenshots to the scan and verify the remaining interactive behavior "
         "manually.",
         0.85, EvidenceSource::manual, std::nullopt},
    };
    EXPECT_EQ(sample.findings, findings);
    EXPECT_TRUE(sample.sourcePath.isEmpty());
    EXPECT_FALSE(sample.screenshotSummary);
    EXPECT_EQ(sample.passedChecks,
              (std::vector<QString>{"Application bundle located", "Info.plist parsed",
                                    "Bundle identifier present", "Executable found"}));
    EXPECT_EQ(sample.rulesVersion, "2026.08.1");
    // The sample survives the report's JSON form.
    EXPECT_EQ(decodeScanReport(json::JsonReader(toJson(sample))).findings, sample.findings);
}
