#include "model/ReportMarkdown.h"
#include "tests/support/QtPrinters.h"
#include "tests/ui/report/ReportScreen.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/report/EmptyFindingsView.h"
#include "ui/report/FindingList.h"
#include "ui/report/FindingRow.h"
#include "ui/report/FindingRowHeader.h"
#include "ui/report/FittingStack.h"
#include "ui/report/PassedChecksView.h"
#include "ui/report/ReportNewScanButton.h"
#include "ui/report/ReportOverviewView.h"
#include "ui/report/ReportShareButton.h"

#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;
using namespace Qt::Literals::StringLiterals;

namespace {

ScanReport reportWith(std::vector<Finding> findings, std::vector<QString> passed = {}) {
    ScanReport report = ScanReport::sample();
    report.findings = std::move(findings);
    report.passedChecks = std::move(passed);
    return report;
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(8, 8));
}

void clickRow(ReportView& view, std::size_t row) {
    FindingRow* built = view.findingList()->builtRow(row);
    ASSERT_NE(built, nullptr) << "row " << row << " is not built";
    click(built->header());
}

std::vector<std::size_t> openRows(const ReportView& view) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < view.findingList()->count(); ++i) {
        if (FindingRow* row = view.findingList()->builtRow(i); row && row->isSelected()) {
            open.push_back(i);
        }
    }
    return open;
}

// What the section below the filter bar shows.
QString shownSection(const ReportView& view) {
    if (view.passedChecks()->isVisible()) {
        return u"passed"_s;
    }
    if (view.emptyFindings()->isVisible()) {
        return view.emptyFindings()->title();
    }
    return QString::number(view.findingList()->count()) + u" rows"_s;
}

} // namespace

TEST(ReportView, EachChipShowsItsFindingsAndEveryCountComesFromTheWholeReport) {
    const ScanReport report = reportWith({craftedFinding(u"b1"_s, FindingSeverity::blocker),
                                          craftedFinding(u"m1"_s, FindingSeverity::manual),
                                          craftedFinding(u"b2"_s, FindingSeverity::blocker),
                                          craftedFinding(u"m2"_s, FindingSeverity::manual),
                                          craftedFinding(u"m3"_s, FindingSeverity::manual)},
                                         {u"Code signature is valid"_s, u"Icon present"_s});
    ReportScreen screen(report);
    ReportView& view = screen.view();
    struct Step {
        ReportFilterChoice chip;
        QString section;
        QString summary;
        std::optional<FindingSeverity> filter;
    };
    const Step steps[] = {
        {ReportFilterChoice::blockers, u"2 rows"_s, u"5 findings"_s, FindingSeverity::blocker},
        {ReportFilterChoice::risks, u"No risks found"_s, u"5 findings"_s, FindingSeverity::risk},
        {ReportFilterChoice::passed, u"passed"_s, u"2 passed checks"_s, std::nullopt},
        {ReportFilterChoice::manual, u"3 rows"_s, u"5 findings"_s, FindingSeverity::manual},
        {ReportFilterChoice::passed, u"passed"_s, u"2 passed checks"_s, std::nullopt},
        {ReportFilterChoice::passed, u"5 rows"_s, u"5 findings"_s, std::nullopt},
        {ReportFilterChoice::all, u"5 rows"_s, u"5 findings"_s, std::nullopt},
    };
    for (const Step& step : steps) {
        click(view.filterBar()->chip(step.chip));
        EXPECT_EQ(shownSection(view), step.section);
        EXPECT_EQ(view.filterBar()->summary(), step.summary);
        EXPECT_EQ(screen.model().findingFilter(), step.filter);
        for (auto chip :
             {ReportFilterChoice::all, ReportFilterChoice::blockers, ReportFilterChoice::risks,
              ReportFilterChoice::manual, ReportFilterChoice::passed}) {
            const bool selected = view.filterBar()->chip(chip)->isChecked();
            EXPECT_EQ(selected, chip == view.filterBar()->choice());
        }
    }
    // The selection capsule glides to the chosen chip, and jumps there under reduce motion.
    auto& motion = design::MotionPreferences::instance();
    for (bool reduce : {false, true}) {
        motion.overrideReduceMotion(reduce);
        click(view.filterBar()->chip(ReportFilterChoice::risks));
        const QRectF target =
            view.filterBar()
                ->chip(ReportFilterChoice::risks)
                ->geometry()
                .translated(
                    view.filterBar()->chip(ReportFilterChoice::risks)->parentWidget()->pos());
        EXPECT_EQ(view.filterBar()->selectionRect() == target, reduce);
        click(view.filterBar()->chip(ReportFilterChoice::all));
    }
    motion.overrideReduceMotion(std::nullopt);
    const std::array<qsizetype, 5> counts{5, 2, 0, 3, 2};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(view.filterBar()->chip(static_cast<ReportFilterChoice>(i))->count(), counts[i]);
    }
}

TEST(ReportView, AClickOpensOneRowAndAFilterChangeClosesIt) {
    ReportScreen screen(ScanReport::sample());
    ReportView& view = screen.view();
    const auto visible = view.visibleFindings();
    clickRow(view, 1);
    EXPECT_EQ(screen.model().selectedFindingID(), visible[1].id);
    EXPECT_EQ(openRows(view), std::vector<std::size_t>{1});
    clickRow(view, 0);
    EXPECT_EQ(openRows(view), std::vector<std::size_t>{0});
    clickRow(view, 0);
    EXPECT_EQ(screen.model().selectedFindingID(), std::nullopt);
    EXPECT_TRUE(openRows(view).empty());

    clickRow(view, 0);
    click(view.filterBar()->chip(ReportFilterChoice::blockers));
    EXPECT_EQ(screen.model().selectedFindingID(), std::nullopt);
    EXPECT_TRUE(openRows(view).empty());
}

TEST(ReportView, FindingsSharingAnIdOpenOnlyTheFirstRow) {
    ReportScreen screen(
        reportWith({craftedFinding(u"same"_s, FindingSeverity::risk, u"First"_s),
                    craftedFinding(u"other"_s, FindingSeverity::risk),
                    craftedFinding(u"same"_s, FindingSeverity::risk, u"Second"_s)}));
    ReportView& view = screen.view();
    clickRow(view, 2);
    EXPECT_EQ(screen.model().selectedFindingID(), u"same"_s);
    EXPECT_EQ(openRows(view), std::vector<std::size_t>{0});
    EXPECT_EQ(view.filterBar()->chip(ReportFilterChoice::risks)->count(), 3);
    clickRow(view, 0);
    EXPECT_TRUE(openRows(view).empty());
}

TEST(ReportView, ThreeHundredFindingsBuildOnlyTheRowsNearTheVisiblePart) {
    std::vector<Finding> findings;
    for (int i = 0; i < 300; ++i) {
        findings.push_back(
            craftedFinding(u"f"_s + QString::number(i), static_cast<FindingSeverity>(i % 3)));
    }
    ReportScreen screen(reportWith(findings));
    ReportView& view = screen.view();
    FindingList* list = view.findingList();
    EXPECT_EQ(list->count(), 300u);
    EXPECT_LT(list->builtRowCount(), 40u);
    EXPECT_NE(list->builtRow(0), nullptr);

    QScrollBar* bar = view.scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    screen.settle();
    EXPECT_NE(list->builtRow(299), nullptr);
    EXPECT_EQ(list->builtRow(0), nullptr);
    EXPECT_LT(list->builtRowCount(), 40u);
    EXPECT_EQ(list->builtRow(299)->geometry(), list->rowRect(299));

    click(view.filterBar()->chip(ReportFilterChoice::manual));
    EXPECT_EQ(list->count(), 100u);
}

TEST(ReportView, TheNoticeLineShowsTheModelsNotice) {
    ReportScreen quiet(ScanReport::sample());
    EXPECT_EQ(quiet.view().noticeRow(), nullptr);
    const QString notice = u"The report history was damaged and restored. "_s;
    ReportScreen noisy(ScanReport::sample(), notice);
    ASSERT_NE(noisy.view().noticeRow(), nullptr);
    EXPECT_EQ(noisy.view().noticeRow()->accessibleName(), notice);
}

TEST(ReportShareButton, CopiesTheMarkdownAndSavesItOrShowsWhyNot) {
    ReportScreen screen(ScanReport::sample());
    QString chosen;
    ReportShareButton share(screen.model(), screen.pasteboard(),
                            [&](QWidget*, const QString&) { return std::optional(chosen); });
    EXPECT_FALSE(share.isEnabled());
    share.setReport(ScanReport::sample());
    share.copyAction()->trigger();
    EXPECT_EQ(screen.clipboard(), report_markdown::render(ScanReport::sample()));

    chosen = QString::fromStdString((screen.folder().fsPath() / "report.md").string());
    share.saveAction()->trigger();
    QFile saved(chosen);
    for (int i = 0; i < 500 && !saved.exists(); ++i) {
        QTest::qWait(10);
    }
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), screen.clipboard());

    // A folder that does not exist: the model's notice appears on the report screen.
    chosen += u"/missing/report.md"_s;
    share.saveAction()->trigger();
    for (int i = 0; i < 500 && !screen.view().noticeRow(); ++i) {
        QTest::qWait(10);
    }
    ASSERT_NE(screen.view().noticeRow(), nullptr);
    EXPECT_TRUE(screen.view().noticeRow()->accessibleName().startsWith(
        u"The report could not be exported. "_s));
}
