#include "model/ReportMarkdown.h"
#include "tests/support/FieldOf.h"
#include "tests/support/Findings.h"
#include "tests/support/QtPrinters.h"
#include "tests/ui/Entrances.h"
#include "tests/ui/TextLayout.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/report/ReportScreen.h"
#include "ui/design/Motion.h"
#include "ui/report/EmptyFindingsView.h"
#include "ui/report/FindingEvidencePresentation.h"
#include "ui/report/FindingList.h"
#include "ui/report/FindingRow.h"
#include "ui/report/FindingRowHeader.h"
#include "ui/report/FittingStack.h"
#include "ui/report/PassedChecksView.h"
#include "ui/report/ReportFilterBar.h"
#include "ui/report/ReportMetricTiles.h"
#include "ui/report/ReportOverviewView.h"
#include "ui/report/ReportShareButton.h"
#include "ui/report/ReportTexts.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QGraphicsEffect>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

using namespace bw;
using namespace bw::report;
using namespace bw::test;
using namespace Qt::Literals::StringLiterals;

namespace {

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

Finding findingWith(QString evidence,
                    std::optional<std::vector<FindingEvidenceField>> fields = {}) {
    Finding finding = ScanReport::sample().findings.front();
    finding.evidence = std::move(evidence);
    finding.evidenceFields = std::move(fields);
    return finding;
}

QStringList flatten(const FindingEvidencePresentation& presentation) {
    QStringList out;
    for (const auto& field : presentation.fields) {
        out << field.label + u'=' + field.value;
    }
    if (presentation.note) {
        out << u"note:"_s + *presentation.note;
    }
    return out;
}

// What `widget` draws at each turn while `counting`, for ten seconds at the most.
std::vector<QImage> framesWhileCounting(QWidget& widget, const std::function<bool()>& counting) {
    std::vector<QImage> frames;
    waitFor(
        [&] {
            frames.push_back(drawnAlone(widget));
            return !counting();
        },
        10);
    return frames;
}

QString numberedLines(int from, int to) {
    QStringList lines;
    for (int i = from; i < to; ++i) {
        lines << u"file added: Payload/App.app/%1.png"_s.arg(i);
    }
    return lines.join(u'\n');
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
    using enum ReportFilterChoice;
    struct Step {
        ReportFilterChoice clicked;
        ReportFilterChoice checked;
        QString section;
        QString summary;
        std::optional<FindingSeverity> filter;
    };
    const Step steps[] = {
        {blockers, blockers, u"2 rows"_s, u"5 findings"_s, FindingSeverity::blocker},
        {risks, risks, u"No risks found"_s, u"5 findings"_s, FindingSeverity::risk},
        {passed, passed, u"passed"_s, u"2 passed checks"_s, std::nullopt},
        {passed, all, u"5 rows"_s, u"5 findings"_s, std::nullopt}, // a second click lets go
        {all, all, u"5 rows"_s, u"5 findings"_s, std::nullopt},
    };
    for (const Step& step : steps) {
        click(view.filterBar()->chip(step.clicked));
        EXPECT_EQ(shownSection(view), step.section);
        EXPECT_EQ(view.filterBar()->summary(), step.summary);
        EXPECT_EQ(screen.model().findingFilter(), step.filter);
        for (auto chip : {all, blockers, risks, manual, passed}) {
            EXPECT_EQ(view.filterBar()->chip(chip)->isChecked(), chip == step.checked);
        }
    }
    const std::array<qsizetype, 5> counts{5, 2, 0, 3, 2};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(view.filterBar()->chip(static_cast<ReportFilterChoice>(i))->count(), counts[i]);
    }
}

TEST(ReportView, EmptyReportsShowTheirEmptyStates) {
    ReportScreen none(reportWith({}));
    EXPECT_EQ(shownSection(none.view()), u"Everything looks clear"_s);
    EXPECT_EQ(none.view().filterBar()->summary(), u"0 findings"_s);
    // In the narrowest column, the message takes all the lines it needs.
    none.view().resize(680, 700);
    settle();
    EXPECT_EQ(textFaults(none.view()), std::vector<QString>());

    ReportScreen onlyPassed(reportWith({}, {u"Privacy manifest present"_s}));
    click(onlyPassed.view().filterBar()->chip(ReportFilterChoice::passed));
    const auto row = onlyPassed.view().passedChecks()->findChildren<QWidget*>();
    EXPECT_TRUE(std::any_of(row.begin(), row.end(), [](QWidget* w) {
        return w->accessibleName() == u"Passed, Privacy manifest present"_s;
    }));
}

TEST(ReportOverviewView, TheHeadlineCountsTheBlockers) {
    const Finding blocker = craftedFinding(u"b1"_s, FindingSeverity::blocker);
    const Finding risk = craftedFinding(u"r1"_s, FindingSeverity::risk);
    const struct {
        std::vector<Finding> findings;
        Verdict verdict;
        QString headline;
    } cases[] = {
        {{blocker, craftedFinding(u"b2"_s, FindingSeverity::blocker), risk},
         Verdict::needsAttention,
         u"2 blockers need attention"_s},
        {{risk, blocker}, Verdict::needsAttention, u"1 blocker needs attention"_s},
        {{risk}, Verdict::noConfirmedBlockers, u"No confirmed blockers"_s},
    };
    for (const auto& c : cases) {
        ScanReport report = reportWith(c.findings);
        report.verdict = c.verdict;
        ReportOverviewView overview(report);
        EXPECT_THAT(
            fieldOf(overview.verdictBlock()->findChildren<QWidget*>(), &QWidget::accessibleName),
            testing::Contains(c.headline));
        // Read out, the headline speaks for the badge beside it, which reads as nothing.
        overview.show();
        EXPECT_THAT(test::presentedLeafNames(*overview.verdictBlock()),
                    testing::AllOf(testing::Contains(c.headline),
                                   testing::Not(testing::Contains(QString()))));
    }
}

TEST(ReportOverviewView, ALongAppNameEndsInAnEllipsisInsteadOfWideningTheColumn) {
    ScanReport report = ScanReport::sample();
    report.metadata.appName = u"Long Name "_s.repeated(30);
    EXPECT_LT(ReportOverviewView(report).minimumSizeHint().width(), 600);
}

// A long bundle identifier is cut in its middle, keeping both ends; the platform and version
// beside it stay whole.
TEST(ReportOverviewView, ALongIdentifierGivesUpItsMiddleAndThePlatformStaysWhole) {
    ScanReport report = ScanReport::sample();
    report.metadata.platform = u"visionOS"_s;
    report.metadata.bundleIdentifier = u"com.example."_s + u"segment."_s.repeated(30) + u"end"_s;
    for (const int width : {560, 700, 900}) {
        SCOPED_TRACE(width);
        ReportOverviewView overview(report);
        overview.resize(width, overview.heightForWidth(width));
        overview.show();
        settle();
        const std::vector<QString> texts = fieldOf(paintedTexts(overview), &PaintedText::text);
        EXPECT_THAT(texts, testing::Contains(u"visionOS 1.0 (42)"_s));
        EXPECT_TRUE(std::ranges::any_of(texts, [](const QString& text) {
            return text.startsWith(u"com.example.seg"_s) && text.contains(u'…') &&
                   text.endsWith(u"ent.end"_s);
        })) << testing::PrintToString(texts);
    }
}

// The next step shows on at most two lines, the second ending in an ellipsis when the sentence
// goes on, and each line it shows is whole.
TEST(ReportOverviewView, TheNextStepShowsOnAtMostTwoWholeLines) {
    ScanReport report = reportWith({craftedFinding(u"b1"_s, FindingSeverity::blocker)});
    report.verdict = Verdict::needsAttention;
    const QString sentence = nextStepText(report);
    const struct {
        int width;
        int lines;
        bool cut;
    } cases[] = {{1400, 1, false}, {560, 2, false}, {300, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        ReportOverviewView overview(report);
        overview.resize(c.width, overview.heightForWidth(c.width));
        overview.show();
        settle();
        std::map<qreal, QString> lines; // by baseline
        for (const PaintedText& text : paintedTexts(overview)) {
            QString part = text.text.trimmed();
            if (part.endsWith(u'…')) {
                part.chop(1);
            }
            if (part.size() > 3 && sentence.contains(part)) {
                lines[text.baseline] += text.text;
            }
        }
        ASSERT_EQ(int(lines.size()), c.lines);
        EXPECT_EQ(lines.rbegin()->second.endsWith(u'…'), c.cut);
        for (const QString& fault : textFaults(overview)) {
            EXPECT_FALSE(lines.begin()->second.contains(fault.section(u'"', 1, 1)))
                << fault.toStdString();
            EXPECT_FALSE(lines.rbegin()->second.contains(fault.section(u'"', 1, 1)))
                << fault.toStdString();
        }
    }
}

TEST(ReportView, AClickOpensOneRowAndAFilterChangeClosesIt) {
    ReportScreen screen(ScanReport::sample());
    ReportView& view = screen.view();
    const auto visible = view.visibleFindings();
    design::MotionPreferences::instance().overrideReduceMotion(true);
    clickRow(view, 1);
    EXPECT_EQ(screen.model().selectedFindingID(), visible[1].id);
    EXPECT_EQ(openRows(view), std::vector<std::size_t>{1});
    // Given less room than it needs, as while the list's place for it lags its opening, the row
    // keeps its header whole and lets the panel under it be cut instead.
    FindingRow* opened = view.findingList()->builtRow(1);
    const int headerHeight = opened->header()->height();
    opened->resize(opened->width(), headerHeight + 8);
    EXPECT_EQ(opened->header()->height(), headerHeight);
    design::MotionPreferences::instance().overrideReduceMotion({});
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

TEST(ReportView, CountsThatChangeWithTheReportRollToTheirNewValue) {
    ReportScreen screen(ScanReport::sample()); // one finding of each severity, four passed
    ScanReport next = reportWith({craftedFinding(u"a"_s, FindingSeverity::blocker),
                                  craftedFinding(u"b"_s, FindingSeverity::blocker),
                                  craftedFinding(u"c"_s, FindingSeverity::blocker),
                                  craftedFinding(u"d"_s, FindingSeverity::risk)},
                                 ScanReport::sample().passedChecks);
    next.id = QUuid::createUuid();
    screen.view().setReport(next);
    std::map<QString, std::pair<qint64, bool>> tiles;
    for (const auto* tile : screen.view().findChildren<CompactReportMetric*>()) {
        tiles[tile->title()] = {tile->value(), tile->isCounting()};
    }
    const std::map<QString, std::pair<qint64, bool>> expected = {{u"Blockers"_s, {3, true}},
                                                                 {u"Risks"_s, {1, false}},
                                                                 {u"Manual"_s, {0, true}},
                                                                 {u"Passed"_s, {4, false}}};
    EXPECT_EQ(tiles, expected);
}

// A zero is drawn in the secondary colour in every frame: with reduce motion the Blockers tile
// going from 0 to 5 cross-fades in place, and its danger red shows only where the 5 stands.
TEST(ReportView, ARollingZeroKeepsTheSecondaryColour) {
    design::MotionPreferences::instance().overrideReduceMotion(true);
    ReportScreen screen(reportWith({}));
    ScanReport five = reportWith(std::vector(5, craftedFinding(u"b"_s, FindingSeverity::blocker)));
    five.id = QUuid::createUuid();
    screen.view().setReport(five);
    settle(); // laid out
    CompactReportMetric* tile = nullptr;
    for (auto* each : screen.view().findChildren<CompactReportMetric*>()) {
        tile = each->title() == u"Blockers"_s ? each : tile;
    }
    ASSERT_TRUE(tile && tile->isCounting());
    const std::vector<QImage> frames =
        framesWhileCounting(*tile, [tile] { return tile->isCounting(); });
    ASSERT_FALSE(tile->isCounting());
    const QImage settled = drawnAlone(*tile);
    int redOutsideTheFive = 0;
    for (const QImage& frame : frames) {
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const QRgb pixel = frame.pixel(x, y);
                redOutsideTheFive += qAlpha(settled.pixel(x, y)) == 0 && qAlpha(pixel) > 40 &&
                                     qRed(pixel) - qGreen(pixel) > 60;
            }
        }
    }
    EXPECT_GT(frames.size(), 3u);
    EXPECT_EQ(redOutsideTheFive, 0) << "of " << frames.size() << " frames";
    design::MotionPreferences::instance().overrideReduceMotion(std::nullopt);
}

// How much ink each column of `image` holds, up to `width` columns.
std::vector<double> inkByColumn(const QImage& image, int width) {
    std::vector<double> ink(std::size_t(width), 0);
    for (int x = 0; x < std::min(width, image.width()); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            ink[std::size_t(x)] += qAlpha(image.pixel(x, y));
        }
    }
    return ink;
}

// The share of `frame`'s ink that no mix a·before + b·after accounts for (least squares).
double unexplainedInk(const std::vector<double>& frame, const std::vector<double>& before,
                      const std::vector<double>& after) {
    double bb = 0, aa = 0, ba = 0, fb = 0, fa = 0, ff = 0;
    for (std::size_t x = 0; x < frame.size(); ++x) {
        bb += before[x] * before[x];
        aa += after[x] * after[x];
        ba += before[x] * after[x];
        fb += frame[x] * before[x];
        fa += frame[x] * after[x];
        ff += frame[x] * frame[x];
    }
    const double determinant = bb * aa - ba * ba;
    const double a = (fb * aa - fa * ba) / determinant;
    const double b = (fa * bb - fb * ba) / determinant;
    double left = 0;
    for (std::size_t x = 0; x < frame.size(); ++x) {
        left += std::pow(frame[x] - a * before[x] - b * after[x], 2);
    }
    return ff > 0 ? std::sqrt(left / ff) : 0;
}

// "All 10" becoming "All 7" shows 10, 7 or the one fading into the other, never a digit alone.
TEST(ReportView, ACountThatLosesADigitReadsTheOldOrTheNewNumberInEveryFrame) {
    design::MotionPreferences::instance().overrideReduceMotion(false);
    const auto findings = [](int count) {
        std::vector<Finding> list;
        for (int i = 0; i < count; ++i) {
            list.push_back(craftedFinding(QString::number(i), FindingSeverity::risk));
        }
        return list;
    };
    ReportScreen screen(reportWith(findings(10)));
    ReportFilterChip* all = screen.view().filterBar()->chip(ReportFilterChoice::all);
    const QImage ten = drawnAlone(*all);
    ScanReport next = reportWith(findings(7));
    next.id = QUuid::createUuid();
    screen.view().setReport(next);
    ASSERT_TRUE(all->isCounting());
    const std::vector<QImage> frames =
        framesWhileCounting(*all, [all] { return all->isCounting(); });
    ASSERT_FALSE(all->isCounting());
    const QImage seven = drawnAlone(*all);
    const int width = std::max(ten.width(), seven.width());
    auto before = inkByColumn(ten, width);
    auto after = inkByColumn(seven, width);
    // The title stands still: only the columns from the first that differs on count.
    const auto first = std::ranges::mismatch(before, after).in1 - before.begin();
    ASSERT_LT(first, width);
    before.erase(before.begin(), before.begin() + first);
    after.erase(after.begin(), after.begin() + first);
    int wrong = 0;
    for (const QImage& frame : frames) {
        auto ink = inkByColumn(frame, width);
        ink.erase(ink.begin(), ink.begin() + first);
        wrong += unexplainedInk(ink, before, after) > 0.2;
    }
    EXPECT_GT(frames.size(), 3u);
    EXPECT_EQ(wrong, 0) << "of " << frames.size() << " frames";
    design::MotionPreferences::instance().overrideReduceMotion(std::nullopt);
}

TEST(ReportView, RowsLeftByAFilterFadeOutWhileTheNewListShowsAtOnce) {
    for (const bool reduceMotion : {false, true}) {
        design::MotionPreferences::instance().overrideReduceMotion(reduceMotion);
        ReportScreen screen(ScanReport::sample());
        ReportView& view = screen.view();
        click(view.filterBar()->chip(ReportFilterChoice::manual));
        EXPECT_EQ(view.findingList()->count(), 1u);
        const auto leaving = [&] { return view.findChildren<QWidget*>(u"leaving"_s).size(); };
        EXPECT_EQ(leaving(), reduceMotion ? 0 : 1);
        // The rows that left fade whole, though the new list is shorter: the page keeps their
        // room until they have gone.
        for (const int ms : {0, 150}) {
            QTest::qWait(ms);
            for (const QWidget* picture : view.findChildren<QWidget*>(u"leaving"_s)) {
                EXPECT_LE(picture->geometry().bottom(), picture->parentWidget()->rect().bottom())
                    << "after " << ms << " ms";
            }
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return leaving() == 0; }));
    }
}

// Waits until no part of the view is still coming in.
bool entranceIsOver(const ReportView& view) {
    const QWidget* parts[] = {view.findChild<ReportOverviewView*>(),
                              view.findingList()->parentWidget(), view.findingList(),
                              view.emptyFindings(), view.passedChecks()};
    return QTest::qWaitFor([&] {
        return std::ranges::none_of(parts, [](const QWidget* w) { return w->graphicsEffect(); });
    });
}

TEST(ReportView, EachKindOfSectionContentComesInAsItsOwn) {
    design::MotionPreferences::instance().overrideReduceMotion(false);
    ReportScreen screen(reportWith({craftedFinding(u"b1"_s, FindingSeverity::blocker),
                                    craftedFinding(u"m1"_s, FindingSeverity::manual)},
                                   {u"Icon present"_s}));
    ReportView& view = screen.view();
    ASSERT_TRUE(entranceIsOver(view));
    using enum ReportFilterChoice;
    const struct {
        ReportFilterChoice clicked;
        QWidget* entering;
        double scaleFrom;
        double rise;
    } steps[] = {
        {risks, view.emptyFindings(), 0.99, 0}, // no risks: the empty state, slightly grown
        {passed, view.passedChecks(), 1, 0},
        {blockers, view.findingList(), 1, 0},
        {all, view.findingList(), 1, 4}, // one list for another: the rows rise
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(static_cast<int>(step.clicked));
        click(view.filterBar()->chip(step.clicked));
        const auto frames = entranceFrames({step.entering}).front();
        ASSERT_FALSE(frames.empty());
        for (const EntranceFrame& frame : frames) {
            EXPECT_NEAR(frame.scale, step.scaleFrom + (1 - step.scaleFrom) * frame.opacity, 1e-3);
            EXPECT_NEAR(frame.drop, step.rise * (1 - frame.opacity), 0.05);
        }
        ASSERT_TRUE(entranceIsOver(view));
    }
    design::MotionPreferences::instance().overrideReduceMotion({});
}

TEST(ReportView, AnotherReportComesInAgainFromTheTopOfItsFindings) {
    design::MotionPreferences::instance().overrideReduceMotion(false);
    std::vector<QString> passed;
    for (int i = 0; i < 40; ++i) {
        passed.push_back(u"Check %1 passed"_s.arg(i));
    }
    const ScanReport first = reportWith({craftedFinding(u"b1"_s, FindingSeverity::blocker),
                                         craftedFinding(u"r1"_s, FindingSeverity::risk)},
                                        passed);
    ScanReport next = reportWith({craftedFinding(u"b2"_s, FindingSeverity::blocker),
                                  craftedFinding(u"b3"_s, FindingSeverity::blocker)});
    next.id = QUuid::createUuid();
    next.metadata.appName = u"Next App"_s;
    const struct {
        const char* name;
        bool showsPassed;
        std::optional<FindingSeverity> filter;
        std::optional<QString> opened;
        std::size_t rows;
    } cases[] = {
        {"passed checks shown", true, std::nullopt, std::nullopt, 2},
        {"a finding of a filter opened", false, FindingSeverity::blocker, u"b1"_s, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportScreen screen(first);
        ReportView& view = screen.view();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        ASSERT_TRUE(entranceIsOver(view));
        if (c.showsPassed) {
            click(view.filterBar()->chip(ReportFilterChoice::passed));
        }
        screen.model().setFindingFilter(c.filter);
        screen.model().setSelectedFindingID(c.opened);
        ASSERT_TRUE(entranceIsOver(view));
        view.resize(1100, 500);
        settle();
        view.scrollArea()->verticalScrollBar()->setValue(200);
        ASSERT_GT(view.scrollArea()->verticalScrollBar()->value(), 0);
        // The keyboard is on a part of the old report.
        QWidget* focused = c.showsPassed ? static_cast<QWidget*>(view.passedChecks())
                                         : view.findingList()->builtRow(0)->header();
        focused->setFocusPolicy(Qt::StrongFocus);
        focused->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), focused);

        view.setReport(next);
        EXPECT_EQ(view.windowTitle(), u"Next App"_s);
        EXPECT_FALSE(view.isPassedSelected());
        EXPECT_EQ(shownSection(view), u"%1 rows"_s.arg(c.rows));
        EXPECT_EQ(view.scrollArea()->verticalScrollBar()->value(), 0);
        // The model's filter and open finding are the model's to change.
        EXPECT_EQ(screen.model().findingFilter(), c.filter);
        EXPECT_EQ(screen.model().selectedFindingID(), c.opened);
        // No picture of the old report is left to fade out over the new one.
        EXPECT_TRUE(view.findChildren<QWidget*>(u"leaving"_s).isEmpty());
        const ReportFilterChoice choice =
            c.filter ? ReportFilterChoice::blockers : ReportFilterChoice::all;
        EXPECT_EQ(QApplication::focusWidget(), view.filterBar()->chip(choice));
        // The overview rises 8 and the findings 6 as they fade in.
        const auto frames = entranceFrames(
            {view.findChild<ReportOverviewView*>(), view.findingList()->parentWidget()});
        for (std::size_t part = 0; part < 2; ++part) {
            ASSERT_FALSE(frames[part].empty()) << part;
            for (const EntranceFrame& frame : frames[part]) {
                EXPECT_NEAR(frame.drop, (part == 0 ? 8 : 6) * (1 - frame.opacity), 0.05);
            }
        }
    }
    design::MotionPreferences::instance().overrideReduceMotion({});
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
    settle();
    EXPECT_NE(list->builtRow(299), nullptr);
    EXPECT_EQ(list->builtRow(0), nullptr);
    EXPECT_LT(list->builtRowCount(), 40u);
    EXPECT_EQ(list->builtRow(299)->geometry(), list->rowRect(299));

    // Keys build rows only where the focus may go: none for a key that moves no focus, or for one
    // typed in another window (a file dialog); the first row for Tab from the control before it.
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    struct RowsBuilt : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::ChildAdded &&
                     static_cast<QChildEvent*>(event)->child()->isWidgetType();
            return false;
        }
    } built;
    list->installEventFilter(&built);
    list->builtRow(299)->header()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    QLineEdit dialogField;
    dialogField.show();
    dialogField.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialogField));
    QTest::keyClick(&dialogField, Qt::Key_Down);
    settle();
    EXPECT_EQ(built.count, 0);
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.filterBar()->chip(ReportFilterChoice::passed)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(),
              list->builtRow(0) ? list->builtRow(0)->header() : nullptr);
}

// A wheel scroll moves the rows under a pointer that stays put: the hover fill moves with them to
// the row now under the pointer, in the findings and in the passed checks alike.
TEST(ReportView, AfterAWheelScrollTheHoverFollowsTheRowUnderThePointer) {
    std::vector<Finding> findings;
    std::vector<QString> passed;
    for (int i = 0; i < 40; ++i) {
        findings.push_back(craftedFinding(u"f"_s + QString::number(i), FindingSeverity::risk));
        passed.push_back(u"Check number %1 passed"_s.arg(i));
    }
    const auto findingRows = [](ReportView& view) {
        std::vector<QWidget*> rows;
        for (std::size_t i = 0; i < view.findingList()->count(); ++i) {
            if (FindingRow* row = view.findingList()->builtRow(i)) {
                rows.push_back(row);
            }
        }
        return rows;
    };
    const auto passedRows = [](ReportView& view) {
        std::vector<QWidget*> rows;
        for (PassedCheckRow* row : view.passedChecks()->findChildren<PassedCheckRow*>()) {
            rows.push_back(row);
        }
        return rows;
    };
    const auto isHovering = [](QWidget* row) {
        if (auto* finding = qobject_cast<FindingRow*>(row)) {
            return finding->isHovering();
        }
        return static_cast<PassedCheckRow*>(row)->isHovering();
    };
    const struct {
        const char* list;
        bool passed;
        std::function<std::vector<QWidget*>(ReportView&)> rows;
    } lists[] = {{"findings", false, findingRows}, {"passed checks", true, passedRows}};
    for (const auto& [list, showPassed, rowsOf] : lists) {
        SCOPED_TRACE(list);
        ReportScreen screen(reportWith(findings, passed));
        ReportView& view = screen.view();
        if (showPassed) {
            view.togglePassedChecks();
            settle();
        }
        // Halfway down, rows fill the visible part.
        QScrollBar* bar = view.scrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        settle();
        QWidget* viewport = view.scrollArea()->viewport();
        const QPoint pointer = viewport->mapToGlobal(viewport->rect().center());
        QCursor::setPos(pointer);
        QWidget* before = nullptr;
        for (QWidget* row : rowsOf(view)) {
            if (row->isVisible() && row->rect().contains(row->mapFromGlobal(pointer))) {
                before = row;
            }
        }
        ASSERT_NE(before, nullptr);
        // A move to where the pointer already is would be no move at all.
        QTest::mouseMove(before, before->mapFromGlobal(pointer) + QPoint(1, 0));
        QTest::mouseMove(before, before->mapFromGlobal(pointer));
        settle();
        ASSERT_TRUE(isHovering(before));

        QWheelEvent wheel(viewport->mapFromGlobal(pointer), pointer, {}, {0, -240}, Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        settle();
        const auto hoveringRows = [&] {
            std::vector<QWidget*> hovering;
            for (QWidget* row : rowsOf(view)) {
                if (isHovering(row)) {
                    hovering.push_back(row);
                }
            }
            return hovering;
        };
        const std::vector<QWidget*> hovering = hoveringRows();
        ASSERT_EQ(hovering.size(), 1u);
        EXPECT_NE(hovering.front(), before);
        EXPECT_TRUE(hovering.front()->rect().contains(hovering.front()->mapFromGlobal(pointer)));

        // On to a row further down, then out of the window: the lit row goes dark each time.
        QWidget* next = nullptr;
        for (QWidget* row : rowsOf(view)) {
            const QPoint centre = row->mapTo(viewport, row->rect().center());
            if (!next && row->isVisible() && viewport->rect().contains(centre) &&
                row->mapToGlobal(row->rect().topLeft()).y() > pointer.y() + 10) {
                next = row;
            }
        }
        ASSERT_NE(next, nullptr);
        movePointer(next->mapToGlobal(next->rect().center()));
        EXPECT_EQ(hoveringRows(), std::vector<QWidget*>{next});
        movePointerOffAllWindows();
        EXPECT_EQ(hoveringRows(), std::vector<QWidget*>{});
    }
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

    chosen = QString::fromStdString((screen.folder.fsPath() / "report.md").string());
    share.saveAction()->trigger();
    QFile saved(chosen);
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved.exists(); }));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), screen.clipboard());

    // A folder that does not exist: the model's notice appears on the report screen.
    chosen += u"/missing/report.md"_s;
    share.saveAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen.view().noticeRow() != nullptr; }));
    EXPECT_TRUE(screen.view().noticeRow()->accessibleName().startsWith(
        u"The report could not be exported. "_s));
}

TEST(FindingEvidencePresentation, ReadsFieldsThenTheEvidenceText) {
    const std::vector<FindingEvidenceField> padded{
        {u" Key "_s, u"\tvalue\n"_s}, {u""_s, u"x"_s}, {u"Lone"_s, u"  "_s}};
    const std::pair<Finding, QStringList> cases[] = {
        {findingWith(u"a=b"_s, padded), {u"Key=value"_s}},
        {findingWith(u"a=b"_s, std::vector<FindingEvidenceField>{{u" "_s, u" "_s}}),
         {u"Key=a"_s, u"Detected=b"_s}},
        {findingWith(u"  Build Scan \n"_s), {}},
        {findingWith(u"APS-Environment: Development"_s),
         {u"Entitlement=aps-environment"_s, u"Detected=development"_s, u"Expected=production"_s}},
        {findingWith(u"a = b = c"_s), {u"Key=a"_s, u"Detected=b = c"_s}},
        {findingWith(u" =value"_s), {u"note:=value"_s}},
        {findingWith(u"a=\u0301b"_s), {u"note:a=\u0301b"_s}},
        // Thousands of lines of tool output are kept whole, as a note or as a detected value.
        {findingWith(numberedLines(0, 20'000)), {u"note:"_s + numberedLines(0, 20'000)}},
        {findingWith(u"files="_s + numberedLines(0, 3000)),
         {u"Key=files"_s, u"Detected="_s + numberedLines(0, 3000)}},
        {findingWith(numberedLines(0, 40)), {u"note:"_s + numberedLines(0, 40)}},
        {findingWith(QString(5000, u'x')), {u"note:"_s + QString(5000, u'x')}},
    };
    for (const auto& [finding, expected] : cases) {
        EXPECT_EQ(flatten(FindingEvidencePresentation(finding)), expected)
            << finding.evidence.toStdString();
    }
}

TEST(ReportTexts, ListsBySeverityKeepingStoredOrderAndOpensTheFirstOfSharedIds) {
    using test::craftedFinding;
    ScanReport report = ScanReport::sample();
    report.findings = {craftedFinding(u"m"_s, FindingSeverity::manual),
                       craftedFinding(u"b1"_s, FindingSeverity::blocker),
                       craftedFinding(u"r"_s, FindingSeverity::risk),
                       craftedFinding(u"b2"_s, FindingSeverity::blocker),
                       craftedFinding(u"r"_s, FindingSeverity::risk)};
    EXPECT_EQ(test::findingIds(report::visibleFindings(report, std::nullopt)),
              (std::vector{u"b1"_s, u"b2"_s, u"r"_s, u"r"_s, u"m"_s}));

    const auto visible = report::visibleFindings(report, std::nullopt);
    EXPECT_EQ(report::expandedRow(visible, u"r"_s), 2u);
    EXPECT_EQ(report::expandedRow(visible, u"gone"_s), std::nullopt);
    report.findings.resize(1);
    EXPECT_EQ(report::summaryLabel(report, false), u"1 finding"_s);
}
