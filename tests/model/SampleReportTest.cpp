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
    EXPECT_EQ(sample.findings[1].evidence,
              QStringLiteral("NSCameraUsageDescription = \u201CCamera access is required.\u201D"));
    EXPECT_EQ(sample.findings[2].source, EvidenceSource::manual);
    EXPECT_DOUBLE_EQ(sample.findings[1].confidence, 0.92);
    for (const Finding& finding : sample.findings) {
        EXPECT_FALSE(finding.itms || finding.evidenceFields || finding.resolution)
            << finding.id.toStdString();
    }
    EXPECT_EQ(sample.passedChecks.size(), 4u);
    EXPECT_EQ(sample.rulesVersion, "2026.08.1");
    // The sample survives the report's JSON form.
    EXPECT_EQ(decodeScanReport(json::JsonReader(toJson(sample))).findings, sample.findings);
}
