#include "ui/report/ReportHistory.h"

#include "tests/support/FieldOf.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Reports.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

using namespace bw;
using namespace bw::report;

namespace {

// A zone with a daylight-saving change (29 March 2026), so that "seven days back" is not 168 hours.
class ReportHistorySections : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }
};

QDateTime local(int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

ScanReport made(const QDateTime& createdAt) {
    return bw::test::historyReport(QStringLiteral("App"), createdAt.toUTC());
}

} // namespace

TEST_F(ReportHistorySections, DayBucketsOnTheLocalCalendar) {
    const QDateTime now = local(3, 31, 0, 30);
    struct Case {
        QDateTime createdAt;
        QString title;
    } cases[] = {
        {local(3, 31, 0, 0, 1), "Today"},
        {local(3, 30, 23, 59), "Previous 7 days"},
        {local(3, 24, 0, 30), "Previous 7 days"},
        {local(3, 24, 0, 29, 59), "Earlier"},
        // 167.5 hours before now, but before the same clock time seven days back.
        {local(3, 24, 0, 0), "Earlier"},
        {local(1, 1, 12, 0), "Earlier"},
    };
    for (const Case& c : cases) {
        const ScanReport report = made(c.createdAt);
        const auto result = sections({&report}, now);
        ASSERT_EQ(result.size(), 1u);
        EXPECT_EQ(result[0].title, c.title) << c.createdAt.toString().toStdString();
    }
}

TEST_F(ReportHistorySections, FutureReportsFileUnderTodayOnce) {
    const QDateTime now = local(8, 10, 9, 0);
    const std::vector<ScanReport> reports{made(local(8, 9, 8, 0)), made(local(8, 10, 8, 0)),
                                          made(local(8, 14, 8, 0)), made(local(8, 10, 10, 0)),
                                          made(local(7, 1, 8, 0))};
    const auto result = sections(filteredReports(reports, ReportHistoryFilter::all, {}), now);
    EXPECT_EQ(bw::test::fieldOf(result, &ReportHistorySection::title),
              (std::vector<QString>{"Today", "Previous 7 days", "Earlier"}));
    ASSERT_EQ(result[0].reports.size(), 3u);
    EXPECT_EQ(result[0].reports[0], &reports[2]);
}

TEST(ReportHistoryFilterAndSearch, NewestFirstStableAndFiltered) {
    const QDateTime at(QDate(2026, 8, 1), QTime(9, 0), Qt::UTC);
    std::vector<ScanReport> reports(4);
    const QString names[] = {"Tide", "Lantern", "Orbit", "Harbour"};
    const int minutes[] = {0, 5, 5, 2};
    for (int i = 0; i < 4; ++i) {
        reports[i].metadata.appName = names[i];
        reports[i].createdAt = at.addSecs(60 * minutes[i]);
        reports[i].verdict = i % 2 ? Verdict::needsAttention : Verdict::noConfirmedBlockers;
    }
    reports[3].metadata.platform = "iphoneos";
    reports[0].metadata.bundleIdentifier = "com.Example.Tide";
    reports[1].fileName = "Lantern-Release.ipa";

    struct Case {
        ReportHistoryFilter filter;
        QString query;
        QStringList expected;
    } cases[] = {
        {ReportHistoryFilter::all, "", {"Lantern", "Orbit", "Harbour", "Tide"}},
        {ReportHistoryFilter::attention, "", {"Lantern", "Harbour"}},
        {ReportHistoryFilter::clear, "", {"Orbit", "Tide"}},
        {ReportHistoryFilter::all, "  EXAMPLE.ti ", {"Tide"}},
        {ReportHistoryFilter::all, "release", {"Lantern"}},
        {ReportHistoryFilter::all, "ios", {"Harbour"}},
        {ReportHistoryFilter::all, "iphoneos", {}},
    };
    for (const Case& c : cases) {
        QStringList shown;
        for (const ScanReport* report : filteredReports(reports, c.filter, c.query)) {
            shown << report->metadata.appName;
        }
        EXPECT_EQ(shown, c.expected) << c.query.toStdString();
    }
    EXPECT_EQ(count(reports, ReportHistoryFilter::all), 4);
    EXPECT_EQ(count(reports, ReportHistoryFilter::attention), 2);
    EXPECT_EQ(count(reports, ReportHistoryFilter::clear), 2);
}
