#include "model/ScanReport.h"

#include <gtest/gtest.h>

using namespace bw;

namespace {

Finding baseFinding() {
    return {"metadata.version-format", FindingSeverity::risk, FindingCategory::metadata, "2.3", std::nullopt,
            "Title", "Detail", "Evidence", std::nullopt, "Fix", 0.9, EvidenceSource::build, std::nullopt};
}

} // namespace

TEST(ReportValues, EveryFieldTakesPartInEquality) {
    const std::vector<std::function<void(Finding&)>> changes = {
        [](Finding& f) { f.id += "x"; },
        [](Finding& f) { f.severity = FindingSeverity::blocker; },
        [](Finding& f) { f.category = FindingCategory::package; },
        [](Finding& f) { f.guideline = "2.3.1"; },
        [](Finding& f) { f.itms = "ITMS-90000"; },
        [](Finding& f) { f.title += "x"; },
        [](Finding& f) { f.detail += "x"; },
        [](Finding& f) { f.evidence += "x"; },
        [](Finding& f) { f.evidenceFields = std::vector<FindingEvidenceField>{}; },
        [](Finding& f) { f.fix += "x"; },
        [](Finding& f) { f.confidence = 0.91; },
        [](Finding& f) { f.source = EvidenceSource::manual; },
        [](Finding& f) { f.resolution = FindingResolution{"s", {}, "v", "p"}; },
    };
    const Finding base = baseFinding();
    for (std::size_t i = 0; i < changes.size(); ++i) {
        Finding changed = base;
        changes[i](changed);
        EXPECT_NE(changed, base) << "change " << i;
        EXPECT_NE(qHash(changed), qHash(base)) << "change " << i;
    }
    EXPECT_EQ(baseFinding(), base);
    EXPECT_EQ(qHash(baseFinding()), qHash(base));
}

TEST(ReportValues, EvidenceRowIdentityJoinsLabelAndValueWithOneColon) {
    const FindingEvidenceField a{"Key:Sub", "Value"};
    const FindingEvidenceField b{"Key", "Sub:Value"};
    EXPECT_EQ(a.id(), "Key:Sub:Value");
    EXPECT_EQ(a.id(), b.id());
    EXPECT_NE(a, b);
    EXPECT_EQ((FindingEvidenceField{"", ""}).id(), ":");
}
