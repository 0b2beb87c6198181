#include "tests/model/ReportSamples.h"
#include "ui/design/Palette.h"
#include "ui/window/SidebarAppButton.h"

#include <gtest/gtest.h>

namespace bw::window {
namespace {

namespace palette = design::palette;

TEST(SidebarAppRowTest, TheWorstKindOfFindingNamesTheStatus) {
    auto finding = [](FindingSeverity severity) {
        Finding finding = bw::testing::sampleReport(0).findings.front();
        finding.severity = severity;
        return finding;
    };
    const struct {
        std::vector<FindingSeverity> severities;
        QColor tint;
        QString text;
    } cases[] = {
        {{FindingSeverity::risk, FindingSeverity::blocker, FindingSeverity::risk},
         palette::danger(),
         QStringLiteral("Latest report has 1 blockers")},
        {{FindingSeverity::manual, FindingSeverity::risk, FindingSeverity::risk},
         palette::warning(),
         QStringLiteral("Latest report has 2 risks")},
        {{FindingSeverity::manual, FindingSeverity::manual, FindingSeverity::manual},
         palette::info(),
         QStringLiteral("Latest report requires 3 manual checks")},
        {{}, palette::success(), QStringLiteral("Latest report has no blockers or risks")},
    };
    for (const auto& c : cases) {
        ScanReport report = bw::testing::sampleReport(1);
        report.findings.clear();
        for (FindingSeverity severity : c.severities)
            report.findings.push_back(finding(severity));
        EXPECT_EQ(SidebarAppButton::statusTint(report), c.tint);
        EXPECT_EQ(SidebarAppButton::statusText(report), c.text);
    }
}

} // namespace
} // namespace bw::window
