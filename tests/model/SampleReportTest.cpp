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
    // The sample survives the report's JSON form.
    const ScanReport& sample = ScanReport::sample();
    EXPECT_EQ(decodeScanReport(json::JsonReader(toJson(sample))).findings, sample.findings);
}
