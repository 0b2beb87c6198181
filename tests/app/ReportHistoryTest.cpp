#include "model/ReportStoreError.h"
#include "tests/app/ModelHarness.h"
#include "tests/services/appstoreconnect/FakeAppStoreConnect.h"
#include "tests/support/FieldOf.h"
#include "tests/support/Reports.h"

#include <QFile>
#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::waitFor;

ScanReport reportOf(const QString& bundle, const QDateTime& createdAt) {
    return test::historyReport(u"App"_s, createdAt, Verdict::needsAttention, bundle);
}

std::vector<QUuid> ids(const std::vector<ScanReport>& reports) {
    return test::fieldOf(reports, &ScanReport::id);
}

class ReportHistory : public ::testing::Test {
protected:
    // Three saved reports: two of one app on one date, stored in that order, and a newer one.
    ReportHistory() {
        const QDateTime day(QDate(2026, 5, 1), QTime(9, 0), Qt::UTC);
        saved = {reportOf(u"com.a"_s, day), reportOf(u"com.a"_s, day),
                 reportOf(u"com.b"_s, day.addDays(1))};
        ReportStore(harness.history).save(saved);
        harness.launch();
    }

    std::vector<QUuid> onDisk() const { return ids(ReportStore(harness.history).load().reports); }

    test::ModelHarness harness;
    std::vector<ScanReport> saved;
};

TEST_F(ReportHistory, LaunchListsNewestFirstKeepingTheStoredOrderOfEqualDates) {
    AppModel& model = harness.model();
    EXPECT_EQ(ids(model.reports()), (std::vector{saved[2].id, saved[0].id, saved[1].id}));
    EXPECT_EQ(model.reportNotice(), std::nullopt);
    EXPECT_TRUE(model.canPersistReports());
    EXPECT_EQ(model.ascStatusMessage(), u"Not connected"_s);

    QFile::remove(harness.history + u"/reports.json"_s);
    AppModel& restored = harness.launch();
    ASSERT_TRUE(restored.reportNotice());
    EXPECT_EQ(restored.importMessage(), restored.reportNotice());

    test::FakeAppStoreConnect asc;
    EXPECT_EQ(harness.launch({u"berthwatch"_s}, asc.service()).ascStatusMessage(),
              u"Credentials saved in Keychain"_s);
}

TEST_F(ReportHistory, DeletionsCloseOnlyTheShownReportOnceSaved) {
    AppModel& model = harness.model();
    model.openReport(saved[0]);
    model.setFindingFilter(FindingSeverity::risk);
    model.deleteReport(saved[2].id); // another report: the workspace stays
    ASSERT_TRUE(waitFor([&] { return onDisk().size() == 2; }));
    EXPECT_EQ(model.findingFilter(), FindingSeverity::risk);

    model.deleteReport(saved[0].id);
    ASSERT_TRUE(waitFor([&] { return !model.report(); }));
    EXPECT_EQ(ids(model.reports()), std::vector{saved[1].id});
    EXPECT_EQ(onDisk(), std::vector{saved[1].id});
    EXPECT_FALSE(model.findingFilter());

    // By app: a shown report of that app closes even when it is not in the history.
    model.openReport(reportOf(u"com.a"_s, QDateTime::currentDateTimeUtc()));
    model.deleteReports(SidebarApp::of(saved[1]));
    ASSERT_TRUE(waitFor([&] { return !model.report(); }));
    EXPECT_TRUE(model.reports().empty());

    model.openReport(saved[2]);
    model.setSelectedFindingID(u"x"_s);
    model.clearReportHistory(); // an empty history is still written
    ASSERT_TRUE(waitFor([&] { return !model.report(); }));
    EXPECT_FALSE(model.selectedFindingID());
    EXPECT_EQ(model.scanPhase(), ScanPhase::finished());
}

TEST_F(ReportHistory, AHistoryThatCannotBeWrittenPutsTheListBackWithANotice) {
    const QString refusal =
        ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore).description();
    const struct {
        std::function<void(AppModel&)> change;
        QString prefix;
    } cases[] = {
        {[&](AppModel& m) { m.deleteReport(saved[0].id); },
         u"The report could not be deleted from disk. "_s},
        {[&](AppModel& m) { m.deleteReports(SidebarApp::of(saved[2])); },
         u"These reports could not be deleted from disk. "_s},
        {[](AppModel& m) { m.clearReportHistory(); },
         u"Report history could not be cleared from disk. "_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix.toStdString());
        // Damaged after launch: the store refuses the write on the writer's thread.
        AppModel& model = harness.launch();
        model.openReport(model.reports().front());
        harness.folder.write(u"history/reports.json"_s, "{");
        const std::vector<ScanReport> before = model.reports();
        c.change(model);
        ASSERT_TRUE(waitFor([&] { return model.reportNotice().has_value(); }));
        EXPECT_EQ(model.reportNotice(), c.prefix + refusal);
        EXPECT_EQ(model.reports(), before);
        EXPECT_TRUE(model.report());

        // A good history again for the next case. (A launch that may not save refuses at once:
        // the demonstration scenes' test.)
        QFile::remove(harness.history + u"/reports.json"_s);
        ReportStore(harness.history).save(saved);
    }
}

// A launch that may not save says why at each change, naming the folder with the system's reason,
// not as if the history were unreadable.
TEST_F(ReportHistory, ALaunchThatMayNotSaveSaysWhyAtEachChange) {
    harness.history = harness.folder.write(u"file"_s, "a file") + u"/history"_s;
    AppModel& model = harness.launch();
    ASSERT_FALSE(model.canPersistReports());
    const QString why = u"The Berthwatch reports folder \u201C"_s + harness.history +
                        u"\u201D could not be prepared: Not a directory."_s;
    EXPECT_EQ(model.reportNotice(), why);
    model.clearReportHistory();
    EXPECT_EQ(model.reportNotice(), u"Report history could not be cleared from disk. "_s + why);
}

} // namespace
} // namespace bw
