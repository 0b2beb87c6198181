#include "model/MarketingShowcase.h"
#include "model/ReportMarkdown.h"
#include "model/ReportStoreError.h"
#include "tests/app/ModelHarness.h"
#include "tests/services/appstoreconnect/FakeAppStoreConnect.h"

#include <QFile>
#include <gtest/gtest.h>

namespace bw {
namespace {

using namespace Qt::Literals::StringLiterals;
using test::ModelHarness;
using test::waitUntil;

ScanReport reportOf(const QString& bundle, const QDateTime& createdAt) {
    ScanReport report = ScanReport::sample();
    report.id = QUuid::createUuid();
    report.createdAt = createdAt;
    report.metadata.bundleIdentifier = bundle;
    report.metadata.iconPNG = std::nullopt;
    return report;
}

std::vector<QUuid> ids(const std::vector<ScanReport>& reports) {
    std::vector<QUuid> result;
    for (const ScanReport& report : reports) {
        result.push_back(report.id);
    }
    return result;
}

const QString refusal =
    ReportStoreError(ReportStoreError::Kind::refusingToOverwriteCorruptStore).description();

class ReportHistory : public ::testing::Test {
protected:
    // Three saved reports: two of one app on one date, stored oldest first, and a newer one.
    ReportHistory() {
        const QDateTime day(QDate(2026, 5, 1), QTime(9, 0), Qt::UTC);
        saved = {reportOf(u"com.a"_s, day), reportOf(u"com.a"_s, day),
                 reportOf(u"com.b"_s, day.addDays(1))};
        ReportStore(harness.history).save(saved);
        harness.launch();
    }

    void damage(const QString& name) {
        QFile file(harness.history + u"/"_s + name);
        file.open(QIODevice::WriteOnly);
        file.write("{");
    }

    ModelHarness harness;
    std::vector<ScanReport> saved;
};

TEST_F(ReportHistory, LaunchListsNewestFirstKeepingTheStoredOrderOfEqualDates) {
    AppModel& model = harness.model();
    EXPECT_EQ(ids(model.reports()), (std::vector<QUuid>{saved[2].id, saved[0].id, saved[1].id}));
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

TEST_F(ReportHistory, DeletingTheShownReportResetsTheWorkspaceOnceSaved) {
    AppModel& model = harness.model();
    model.openReport(saved[0]);
    model.setFindingFilter(FindingSeverity::risk);

    model.deleteReport(saved[2].id); // another report: the workspace stays
    ASSERT_TRUE(waitUntil([&] { return ReportStore(harness.history).load().reports.size() == 2; }));
    EXPECT_EQ(model.findingFilter(), FindingSeverity::risk);

    model.deleteReport(saved[0].id);
    ASSERT_TRUE(waitUntil([&] { return !model.report(); }));
    EXPECT_EQ(ids(model.reports()), std::vector<QUuid>{saved[1].id});
    EXPECT_EQ(ids(ReportStore(harness.history).load().reports), std::vector<QUuid>{saved[1].id});
    EXPECT_FALSE(model.findingFilter());

    // By app: a shown report of that app closes even when it is not in the history.
    model.openReport(reportOf(u"com.a"_s, QDateTime::currentDateTimeUtc()));
    model.deleteReports(SidebarApp{u"com.a"_s, u"A"_s, saved[1]});
    ASSERT_TRUE(waitUntil([&] { return !model.report(); }));
    EXPECT_TRUE(model.reports().empty());

    model.openReport(saved[2]);
    model.setSelectedFindingID(u"x"_s);
    model.clearReportHistory(); // an empty history is still written
    ASSERT_TRUE(waitUntil([&] { return !model.report(); }));
    EXPECT_FALSE(model.selectedFindingID());
    EXPECT_EQ(model.scanPhase(), ScanPhase::finished());
}

TEST_F(ReportHistory, AHistoryThatCannotBeWrittenPutsTheListBackWithANotice) {
    const struct {
        const char* name;
        std::function<void(AppModel&)> change;
        QString prefix;
    } cases[] = {
        {"delete", [&](AppModel& m) { m.deleteReport(saved[0].id); },
         u"The report could not be deleted from disk. "_s},
        {"delete app",
         [&](AppModel& m) {
             m.deleteReports(SidebarApp{u"com.b"_s, {}, {}});
         },
         u"These reports could not be deleted from disk. "_s},
        {"clear", [](AppModel& m) { m.clearReportHistory(); },
         u"Report history could not be cleared from disk. "_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Damaged after launch, so the store itself refuses the write.
        AppModel& model = harness.launch();
        model.openReport(model.reports().front());
        damage(u"reports.json"_s);
        const std::vector<ScanReport> before = model.reports();
        c.change(model);
        ASSERT_TRUE(waitUntil([&] { return model.reportNotice().has_value(); }));
        EXPECT_EQ(model.reportNotice(), c.prefix + refusal);
        EXPECT_EQ(model.reports(), before);
        EXPECT_TRUE(model.report());

        // Refused at once when the launch did not allow saving.
        damage(u"reports.backup.json"_s);
        AppModel& refusing = harness.launch();
        ASSERT_FALSE(refusing.canPersistReports());
        c.change(refusing);
        EXPECT_EQ(refusing.reportNotice(), c.prefix + refusal);
        EXPECT_TRUE(refusing.reports().empty());
        QFile::remove(harness.history + u"/reports.json"_s);
        QFile::remove(harness.history + u"/reports.backup.json"_s);
        ReportStore(harness.history).save(saved);
    }
}

TEST_F(ReportHistory, RevealAndExport) {
    AppModel& model = harness.model();
    ScanReport report = saved[0];
    model.revealReport(report);
    report.sourcePath = u"/builds/App.ipa"_s;
    model.revealReport(report);
    EXPECT_EQ(harness.revealed, std::vector<QString>{u"/builds/App.ipa"_s});

    const QString target = harness.folder.path() + u"/App review.md"_s;
    model.exportReport(report, target);
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(target); }));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), ReportMarkdown::render(report));
}

} // namespace
} // namespace bw
