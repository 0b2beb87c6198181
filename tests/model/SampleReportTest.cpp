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
    // The sample survives the report's JSON form.
    EXPECT_EQ(decodeScanReport(json::JsonReader(toJson(copy))).findings, copy.findings);
}
