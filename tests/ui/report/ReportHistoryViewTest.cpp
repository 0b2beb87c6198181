#include "ui/report/ReportHistoryView.h"

#include "tests/support/FieldOf.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Reports.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/Entrances.h"
#include "tests/ui/HistoryFixture.h"
#include "tests/ui/Widgets.h"
#include "tests/ui/report/ReportScreen.h"
#include "ui/design/AppIconTile.h"
#include "ui/design/Compositor.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReportActionMenu.h"
#include "ui/report/ReportHistoryEmptyPlane.h"
#include "ui/report/ReportHistoryFilter.h"
#include "ui/report/ReportHistoryFilterButton.h"
#include "ui/report/ReportHistoryList.h"
#include "ui/report/ReportHistoryRow.h"
#include "ui/report/SearchField.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

using namespace bw;
using namespace bw::report;
using bw::test::historyReport;
using bw::test::ModelWithHistory;
using bw::test::shownTexts;

namespace {

using namespace Qt::Literals::StringLiterals;

const QDateTime now(QDate(2026, 8, 10), QTime(9, 0), Qt::LocalTime);

struct Screen {
    explicit Screen(const std::vector<ScanReport>& reports) : history(reports) {
        view = std::make_unique<ReportHistoryView>(history.model(), [] { return now; });
        view->resize(900, 700);
        view->show();
        bw::test::settle(3); // layout requests come one after another as the list learns its width
    }

    std::vector<QString> sectionTitles() const {
        return bw::test::fieldOf(view->list()->sections(), [](const auto& section) {
            return u"%1 %2"_s.arg(section.title).arg(section.reports.size());
        });
    }

    ReportHistoryRow* row(const ScanReport& report) const {
        return view->list()->rowFor(report.id);
    }

    void rightClick(ReportHistoryRow* row, QPoint at) const {
        QTest::mouseClick(row, Qt::RightButton, {}, at);
        QApplication::processEvents();
    }

    ReportActionMenu* openMenu(const ScanReport& report) const {
        rightClick(row(report), {40, 20});
        return row(report)->findChild<ReportActionMenu*>();
    }

    void choose(ReportActionMenu* menu, const QString& entry) const {
        bw::test::named<QAbstractButton>(*menu, entry)->click();
        QApplication::processEvents();
    }

    ModelWithHistory history;
    std::unique_ptr<ReportHistoryView> view;
};

// `count` reports of as many apps, `apart` seconds apart, newest first.
std::vector<ScanReport> manyReports(int count, int apart) {
    std::vector<ScanReport> reports;
    for (int i = 0; i < count; ++i) {
        reports.push_back(historyReport(u"App %1"_s.arg(i), now.addSecs(-apart * i)));
    }
    return reports;
}

int changedPixels(const QImage& image, const QImage& reference) {
    int changed = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            changed += image.pixel(x, y) != reference.pixel(x, y);
        }
    }
    return changed;
}

std::vector<ScanReport> mixedHistory() {
    return {historyReport("Tide", now.addSecs(-3600), Verdict::noConfirmedBlockers),
            historyReport("Lantern", now.addDays(-2)),
            historyReport("Orbit", now.addDays(-30), Verdict::noConfirmedBlockers),
            historyReport("Future", now.addDays(3))};
}

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
    return bw::test::historyReport(u"App"_s, createdAt.toUTC());
}

} // namespace

TEST(ReportHistoryView, ChipsCountTheWholeHistoryAndNarrowTheList) {
    Screen screen(mixedHistory());
    // The report dated three days ahead comes first, in a section of its own.
    EXPECT_EQ(screen.sectionTitles(), (std::vector<QString>{"Previous 7 days 1", "Today 1",
                                                            "Previous 7 days 1", "Earlier 1"}));
    auto* attention = screen.view->filterButton(ReportHistoryFilter::attention);
    QTest::mouseClick(attention, Qt::LeftButton);
    EXPECT_TRUE(attention->isSelected());
    EXPECT_EQ(screen.sectionTitles(), std::vector<QString>{"Previous 7 days 2"});

    screen.view->searchField()->setText("  TIDE ");
    EXPECT_TRUE(screen.view->list()->isHidden());
    for (ReportHistoryFilter filter : reportHistoryFilters) {
        EXPECT_EQ(screen.view->filterButton(filter)->count(),
                  filter == ReportHistoryFilter::all ? 4 : 2);
    }
    QTest::mouseClick(screen.view->filterButton(ReportHistoryFilter::all), Qt::LeftButton);
    EXPECT_EQ(screen.sectionTitles(), std::vector<QString>{"Today 1"});
}

TEST(ReportHistoryView, EmptyStatesTellAnEmptyHistoryFromASearchWithoutHits) {
    Screen empty({});
    const QStringList shown = shownTexts(empty.view.get());
    EXPECT_TRUE(shown.contains("No reports yet"));
    EXPECT_FALSE(shown.contains("Reports"));
    EXPECT_FALSE(empty.view->searchField()->isVisibleTo(empty.view.get()));

    Screen some(mixedHistory());
    EXPECT_FALSE(shownTexts(some.view.get()).contains("No matching reports"));
    some.view->searchField()->setText("nothing like it");
    EXPECT_TRUE(shownTexts(some.view.get()).contains("No matching reports"));
    EXPECT_FALSE(shownTexts(some.view.get()).contains("No reports yet"));
}

// The drawing of the empty history is decoration: assistive technologies are told of nothing there,
// while the texts beside it stay.
TEST(ReportHistoryView, TheEmptyHistorysDrawingIsHiddenFromAccessibility) {
    Screen empty({});
    auto* plane = empty.view->findChild<ReportHistoryEmptyPlane*>();
    ASSERT_NE(plane, nullptr);
    ASSERT_TRUE(plane->isVisible());
    QAccessibleInterface* drawing = QAccessible::queryAccessibleInterface(plane);
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(drawing->role(), QAccessible::NoRole);
    EXPECT_TRUE(drawing->state().invisible);
    EXPECT_TRUE(drawing->text(QAccessible::Name).isEmpty());
    for (QLabel* text : empty.view->findChildren<QLabel*>()) {
        if (text->isVisible()) {
            EXPECT_FALSE(QAccessible::queryAccessibleInterface(text)->state().invisible)
                << text->text().toStdString();
        }
    }
}

TEST(ReportHistoryRow, ALongNameAndItsVersionBothElideInsteadOfEitherVanishing) {
    const QString longName = u"Harbour Master Professional Edition "_s.repeated(3);
    struct Case {
        QString name;
        QString version;
        qreal width;
        bool nameWhole;
        bool versionWhole;
    };
    const Case cases[] = {
        {u"Tide"_s, u"1.0"_s, 400, true, true},
        {longName, u"1.0"_s, 300, false, true},
        {longName, u"2026.12.07-release-candidate"_s, 300, false, false},
        {u"Tide"_s, u"2026.12.07-release-candidate"_s.repeated(3), 300, true, false},
    };
    ReportHistoryRow row;
    for (const Case& c : cases) {
        ScanReport report = historyReport(c.name, now);
        report.metadata.version = c.version;
        row.setReport(report, now);
        const ReportHistoryRow::TitleLine shown = row.titleLine(c.width);
        const QString version = c.version + u" ("_s + report.metadata.buildNumber + u")"_s;
        EXPECT_EQ(shown.name == c.name, c.nameWhole) << shown.name.toStdString();
        EXPECT_EQ(shown.version == version, c.versionWhole) << shown.version.toStdString();
        EXPECT_GT(shown.version.size(), 1) << c.width;
        const qreal used = QFontMetricsF(design::textStyleFont(design::TextStyle::rowTitle))
                               .horizontalAdvance(shown.name) +
                           8 +
                           QFontMetricsF(design::textStyleFont(design::TextStyle::monoCaption))
                               .horizontalAdvance(shown.version);
        EXPECT_LE(used, c.width) << (shown.name + shown.version).toStdString();
    }
}

TEST(ReportHistoryView, AfterAWheelScrollOnlyTheRowUnderThePointerIsHighlighted) {
    const std::vector<ScanReport> reports = manyReports(40, 60);
    Screen screen(reports);
    ReportHistoryRow* before = screen.row(reports[2]);
    ASSERT_NE(before, nullptr);
    QCursor::setPos(before->mapToGlobal(QPoint(before->width() / 2, 20)));
    QTest::mouseMove(before, QPoint(before->width() / 2, 20));
    QApplication::processEvents();
    ASSERT_TRUE(before->isHovering());

    const QPoint at = screen.view->scrollArea()->viewport()->mapFromGlobal(QCursor::pos());
    QWheelEvent wheel(at, QCursor::pos(), {}, {0, -240}, Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(screen.view->scrollArea()->viewport(), &wheel);
    QApplication::processEvents();
    const auto rows = screen.view->list()->visibleRows();
    const auto hovering = [](const ReportHistoryRow* row) { return row->isHovering(); };
    ASSERT_EQ(std::ranges::count_if(rows, hovering), 1);
    const ReportHistoryRow* highlighted = *std::ranges::find_if(rows, hovering);
    EXPECT_NE(highlighted->report().id, reports[2].id);
    EXPECT_TRUE(highlighted->rect().contains(highlighted->mapFromGlobal(QCursor::pos())));

    // Two rows down, then out of the window: only the row under the pointer is lit, then none.
    const auto litRows = [&] {
        std::vector<QUuid> lit;
        for (const ReportHistoryRow* row : screen.view->list()->visibleRows()) {
            if (row->isHovering()) {
                lit.push_back(row->report().id);
            }
        }
        return lit;
    };
    const QWidget* viewport = screen.view->scrollArea()->viewport();
    const ReportHistoryRow* next = nullptr;
    for (const ReportHistoryRow* row : screen.view->list()->visibleRows()) {
        const QPoint centre = row->mapTo(viewport, row->rect().center());
        if (!next && viewport->rect().contains(centre) &&
            centre.y() > viewport->mapFromGlobal(QCursor::pos()).y() + 2 * row->height()) {
            next = row;
        }
    }
    ASSERT_NE(next, nullptr);
    bw::test::movePointer(next->mapToGlobal(next->rect().center()));
    EXPECT_EQ(litRows(), std::vector<QUuid>{next->report().id});
    bw::test::movePointerOffAllWindows();
    EXPECT_EQ(litRows(), std::vector<QUuid>{});
}

// The window moves under a pointer that stays put: the row now under the pointer lights up and
// the one it was over goes dark.
TEST(ReportHistoryView, AfterTheWindowMovesOnlyTheRowUnderThePointerIsLit) {
    const std::vector<ScanReport> reports = manyReports(40, 60);
    Screen screen(reports);
    ReportHistoryRow* before = screen.row(reports[2]);
    ASSERT_NE(before, nullptr);
    bw::test::movePointer(before->mapToGlobal(before->rect().center()));
    ASSERT_TRUE(before->isHovering());

    QWidget* window = screen.view->window();
    window->move(window->pos() - QPoint(0, before->height() + 20));
    bw::test::settle();
    std::vector<ReportHistoryRow*> lit;
    for (ReportHistoryRow* row : screen.view->list()->visibleRows()) {
        if (row->isHovering()) {
            lit.push_back(row);
        }
    }
    ASSERT_EQ(lit.size(), 1u);
    EXPECT_NE(lit.front(), before);
    EXPECT_TRUE(lit.front()->rect().contains(lit.front()->mapFromGlobal(QCursor::pos())));
    bw::test::movePointerOffAllWindows();
}

TEST(ReportHistoryView, RightClicksOpenTheMenuOnlyInsideTheRow) {
    const auto reports = mixedHistory();
    Screen screen(reports);
    ReportHistoryRow* row = screen.row(reports[0]);
    const QPoint beside[] = {{row->width(), 10}, {-1, 10}, {10, row->height()}};
    for (const QPoint point : beside) {
        screen.rightClick(row, point);
        EXPECT_FALSE(row->isActionMenuPresented()) << point.x() << "," << point.y();
    }
    const QPoint inside[] = {{0, 0}, {row->width() - 1, row->height() - 1}};
    for (const QPoint point : inside) {
        screen.rightClick(row, point);
        EXPECT_TRUE(row->isActionMenuPresented());
        row->findChild<ReportActionMenu*>()->close();
        QApplication::processEvents();
    }
    // A left click still reaches the row.
    QTest::mouseClick(row, Qt::LeftButton, {}, {50, 20});
    EXPECT_TRUE(screen.history.model().report().has_value());
}

// The menu hangs from the chevron by its arrow: to the chevron's trailing side, or to its leading
// side where the screen ends. Where the desktop composites, all around the bubble and its arrow is
// clear; where it does not, the window itself takes that shape.
TEST(ReportHistoryView, TheMenuPointsItsArrowAtTheChevron) {
    const auto reports = mixedHistory();
    const int screenRight = QGuiApplication::primaryScreen()->availableGeometry().right();
    const struct {
        int viewWidth;
        bool composites;
        bool onTrailingSide;
    } cases[] = {{520, true, true}, {screenRight - 40, true, false}, {520, false, true}};
    for (const auto& [viewWidth, composites, expectedSide] : cases) {
        design::overrideDesktopComposites(composites);
        Screen screen(reports);
        screen.view->resize(viewWidth, 700);
        bw::test::settle(3);
        ReportActionMenu* menu = screen.openMenu(reports[0]);
        ASSERT_NE(menu, nullptr);
        const ReportHistoryRow* row = screen.row(reports[0]);
        const QRectF chevron = row->chevronRect();
        const QPoint leading = row->mapToGlobal(chevron.topLeft().toPoint());
        const QPoint trailing = row->mapToGlobal(chevron.topRight().toPoint());
        const int middle = leading.y() + int(chevron.height() / 2) - menu->y();
        const bool onTrailingSide = menu->x() > leading.x();
        EXPECT_EQ(onTrailingSide, expectedSide) << viewWidth;
        // The arrow's tip, a few points from the chevron's facing edge.
        const int tipX = onTrailingSide ? 1 : menu->width() - 2;
        const int gap =
            onTrailingSide ? menu->x() - trailing.x() : leading.x() - menu->geometry().right();
        EXPECT_GE(gap, 0);
        EXPECT_LE(gap, 6);
        // Along the tip's column the drawn shape is only the arrow's point, level with the
        // chevron's middle.
        const QImage drawn = menu->grab().toImage();
        std::vector<int> shown;
        for (int y = 0; y < menu->height(); ++y) {
            const bool inShape = composites ? qAlpha(drawn.pixel(tipX, y)) > 128
                                            : menu->mask().contains(QPoint(tipX, y));
            if (inShape) {
                shown.push_back(y);
            }
        }
        ASSERT_FALSE(shown.empty()) << viewWidth;
        EXPECT_LE(shown.size(), 6u);
        EXPECT_NEAR((shown.front() + shown.back()) / 2.0, middle, 2);
        EXPECT_EQ(menu->testAttribute(Qt::WA_TranslucentBackground), composites);
        EXPECT_EQ(menu->mask().isEmpty(), composites);
        menu->close();
    }
    design::overrideDesktopComposites(std::nullopt);
}

// The menu is the thin material: the darker window under it shows through the surface; its
// separators are half a point, a one-point line's light on half of a pixel row.
TEST(ReportHistoryView, TheMenuSeesThroughAndItsSeparatorsAreHalfAPoint) {
    const auto reports = mixedHistory();
    Screen screen(reports);
    ReportActionMenu* menu = screen.openMenu(reports[0]);
    ASSERT_NE(menu, nullptr);
    const QImage drawn = menu->grab().toImage();
    // A column right of every text, clear of the border.
    const int x = menu->width() - 16;
    const int body = qGray(drawn.pixel(x, drawn.height() / 2));
    EXPECT_LT(body, qGray(design::palette::menuSurface().rgb()) - 1);
    std::vector<int> separators;
    for (int y = 4; y < drawn.height() - 4; ++y) {
        if (const int step = qGray(drawn.pixel(x, y)) - qGray(drawn.pixel(x, y - 1)); step >= 4) {
            separators.push_back(step);
        }
    }
    ASSERT_EQ(separators.size(), 2u);
    for (const int step : separators) {
        EXPECT_NEAR(step, 0.075 * (255 - body) / 2, 2.5);
    }
    menu->close();
}

// A history icon, in the row and in the menu, casts black at 0.1 blurred with a radius of 4 (a
// deviation of 2), 2 points down.
TEST(ReportHistoryRow, TheIconsShadowIsSoftAndTwoPointsDown) {
    QImage drawn(60, 60, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    design::paintAppIconTile(painter, QRectF(15, 10, 30, 30), QImage(), u"A"_s, historyIconStyle());
    painter.end();
    // Down the middle below the tile: the shadow's lower edge, 2 below the tile's, blurred.
    for (int y = 40; y < 48; ++y) {
        const double beyondEdge = (y + 0.5 - 42) / 2;
        EXPECT_NEAR(qAlpha(drawn.pixel(30, y)), 25.5 * 0.5 * std::erfc(beyondEdge / std::sqrt(2.0)),
                    1.5)
            << y;
    }
}

TEST(ReportHistoryView, MenuActionsReachTheModel) {
    auto reports = mixedHistory();
    Screen screen(reports);
    const QString build = screen.history.history + "/Tide.ipa";
    QFile(build).open(QIODevice::WriteOnly);
    reports[0].sourcePath = build;

    // Reveal is offered only for a build that is still on disk: not for one without a path nor
    // for one deleted since.
    reports[1].sourcePath = screen.history.history + "/Lantern.ipa";
    for (const ScanReport& report : {reports[0], reports[1], reports[2]}) {
        screen.view->list()->rowFor(report.id)->setReport(report, now);
        ReportActionMenu* menu = screen.openMenu(report);
        ASSERT_NE(menu, nullptr);
        auto* reveal = bw::test::named<QAbstractButton>(*menu, "Reveal Build in File Manager");
        EXPECT_EQ(reveal->isEnabled(), report.id == reports[0].id);
        // Under the pointer it lights up, enabled or not: about 6,500 pixels change enabled.
        const QImage resting = reveal->grab().toImage();
        QTest::mouseMove(reveal, reveal->rect().center());
        EXPECT_TRUE(bw::test::waitFor(
            [&] { return changedPixels(reveal->grab().toImage(), resting) > 2000; }, 5));
        screen.choose(menu, "Reveal Build in File Manager");
    }
    EXPECT_EQ(screen.history.revealed, std::vector<QString>{build});

    screen.choose(screen.openMenu(reports[0]), "Copy Bundle Identifier");
    EXPECT_EQ(QApplication::clipboard()->text(), "com.example.tide");

    screen.choose(screen.openMenu(reports[2]), "Open Report");
    EXPECT_EQ(screen.history.model().report()->id, reports[2].id);
}

// The shown report stays open while others are deleted: checked once the answer of the save
// has come back, which the answer of the later failing save proves.
TEST(ReportHistoryView, DeletingAsksFirstRemovesFromDiskAndAFailureIsToldAndLosesNothing) {
    const auto reports = mixedHistory();
    Screen screen(reports);
    AppModel& model = screen.history.model();
    model.openReport(reports[0]);
    screen.choose(screen.openMenu(reports[1]), "Delete Report");
    ASSERT_TRUE(screen.view->reportPendingDeletion().has_value());
    ASSERT_TRUE(bw::test::answerConfirmation("Cancel"));
    EXPECT_FALSE(screen.view->reportPendingDeletion().has_value());
    EXPECT_EQ(model.reports().size(), 4u);

    screen.choose(screen.openMenu(reports[1]), "Delete Report");
    ASSERT_TRUE(bw::test::answerConfirmation("Delete report"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen.history.onDisk().size() == 3u; }));
    EXPECT_EQ(model.reports().size(), 3u);
    EXPECT_EQ(screen.row(reports[1]), nullptr);

    screen.history.makeUnwritable();
    screen.choose(screen.openMenu(reports[2]), "Delete Report");
    ASSERT_TRUE(bw::test::answerConfirmation("Delete report"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.reportNotice().has_value(); }));
    EXPECT_TRUE(shownTexts(screen.view.get()).contains(*model.reportNotice()));
    EXPECT_EQ(model.reports().size(), 3u);
    EXPECT_NE(screen.row(reports[2]), nullptr);
    EXPECT_EQ(screen.history.onDisk().size(), 3u);
    ASSERT_TRUE(model.report());
    EXPECT_EQ(model.report()->id, reports[0].id);
}

TEST(ReportHistoryView, AThousandReportsBuildOnlyTheRowsInSight) {
    const std::vector<ScanReport> reports = manyReports(1000, 600);
    Screen screen(reports);
    const auto rowsNow = [&] {
        return screen.view->list()->findChildren<ReportHistoryRow*>().size();
    };
    EXPECT_LT(rowsNow(), 40);
    QScrollBar* bar = screen.view->scrollArea()->verticalScrollBar();
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    EXPECT_NE(screen.row(reports.back()), nullptr);
    EXPECT_EQ(screen.row(reports.front()), nullptr);
    EXPECT_LT(rowsNow(), 40);
}

TEST_F(ReportHistorySections, DayBucketsOnTheLocalCalendar) {
    const QDateTime now = local(3, 31, 0, 30);
    const std::pair<QDateTime, QString> cases[] = {
        {local(3, 31, 0, 0, 1), "Today"},
        {local(3, 30, 23, 59), "Previous 7 days"},
        {local(3, 24, 0, 30), "Previous 7 days"},
        {local(3, 24, 0, 29, 59), "Earlier"},
        // 167.5 hours before now, but before the same clock time seven days back.
        {local(3, 24, 0, 0), "Earlier"},
        // Dated ahead of now (a clock set wrong where it was made): today if it is today's date.
        {local(3, 31, 23, 0), "Today"},
        {local(4, 7, 0, 0), "Previous 7 days"},
    };
    for (const auto& [createdAt, title] : cases) {
        const ScanReport report = made(createdAt);
        const auto result = sections({&report}, now);
        ASSERT_EQ(result.size(), 1u);
        EXPECT_EQ(result[0].title, title) << createdAt.toString().toStdString();
    }
}

TEST(ReportHistoryFilterAndSearch, NewestFirstStableAndFiltered) {
    const QDateTime at(QDate(2026, 8, 1), QTime(9, 0), Qt::UTC);
    std::vector<ScanReport> reports{
        historyReport("Tide", at, Verdict::noConfirmedBlockers),
        historyReport("Lantern", at.addSecs(300)),
        historyReport("Orbit", at.addSecs(300), Verdict::noConfirmedBlockers),
        historyReport("Harbour", at.addSecs(120))};
    reports[0].metadata.platform = "macosx";
    reports[1].fileName = "Lantern-Release.ipa";

    struct Case {
        ReportHistoryFilter filter;
        QString query;
        std::vector<QString> expected;
    } cases[] = {
        {ReportHistoryFilter::all, "", {"Lantern", "Orbit", "Harbour", "Tide"}},
        {ReportHistoryFilter::attention, "", {"Lantern", "Harbour"}},
        {ReportHistoryFilter::clear, "", {"Orbit", "Tide"}},
        {ReportHistoryFilter::all, "  EXAMPLE.ti ", {"Tide"}},
        {ReportHistoryFilter::all, "release", {"Lantern"}},
        {ReportHistoryFilter::all, "macos", {"Tide"}},
        {ReportHistoryFilter::all, "macosx", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            bw::test::fieldOf(filteredReports(reports, c.filter, c.query),
                              [](const ScanReport* report) { return report->metadata.appName; }),
            c.expected)
            << c.query.toStdString();
    }
}

TEST(ReportHistoryView, TheHeaderRisesSixPointsAndEveryOtherBlockFive) {
    bw::design::MotionPreferences::instance().overrideReduceMotion(false);
    const auto parentOf = [](const QWidget& root, const QString& text) {
        for (QLabel* label : root.findChildren<QLabel*>()) {
            if (label->text() == text) {
                return label->parentWidget();
            }
        }
        return static_cast<QWidget*>(nullptr);
    };
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty history" : "two reports");
        ModelWithHistory history(
            empty ? std::vector<ScanReport>{}
                  : std::vector<ScanReport>{historyReport(u"Atlas"_s, now.addSecs(-60)),
                                            historyReport(u"Beacon"_s, now.addDays(-3))});
        ReportHistoryView view(history.model(), [] { return now; });
        view.resize(900, 700);
        view.show();
        std::vector<QWidget*> parts;
        std::vector<double> rises;
        if (empty) {
            parts = {parentOf(view, u"No reports yet"_s)};
            rises = {5};
        } else {
            parts = {parentOf(view, u"Reports"_s), view.searchField()->parentWidget(), view.list()};
            rises = {6, 5, 5};
        }
        const auto frames = bw::test::entranceFrames(parts);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            ASSERT_FALSE(frames[i].empty()) << i;
            for (const bw::test::EntranceFrame& frame : frames[i]) {
                EXPECT_NEAR(frame.drop, rises[i] * (1 - frame.opacity), 0.05) << i;
                EXPECT_NEAR(frame.scale, 1, 1e-6) << i;
            }
        }
    }
    bw::design::MotionPreferences::instance().overrideReduceMotion({});
}

// The page keys scroll the history wherever the keyboard is, but Home and End stay with the
// search field while it has the focus; a search field that Page Down scrolls out of sight hands
// the focus to a row in sight, so that letters typed go nowhere unseen.
TEST(ReportHistoryView, ThePageKeysScrollTheListButHomeAndEndStayInTheSearchField) {
    Screen screen(manyReports(40, 3600));
    screen.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen.view.get()));
    QScrollBar* bar = screen.view->scrollArea()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), bar->pageStep());
    QLineEdit* search = screen.view->searchField()->lineEdit();
    search->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(search, u"App"_s);
    // Away from the top with the field still in sight, so that Home taken by the page would show.
    const int away = 8;
    bar->setValue(away);
    QTest::keyClick(search, Qt::Key_Home);
    EXPECT_EQ(search->cursorPosition(), 0);
    EXPECT_EQ(bar->value(), away);
    QTest::keyClick(search, Qt::Key_End);
    EXPECT_EQ(search->cursorPosition(), 3);
    EXPECT_EQ(bar->value(), away);
    QTest::keyClick(search, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), away + bar->pageStep());
    EXPECT_TRUE(qobject_cast<ReportHistoryRow*>(QApplication::focusWidget()));

    ReportHistoryRow* row = screen.view->list()->findChild<ReportHistoryRow*>();
    ASSERT_NE(row, nullptr);
    row->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    EXPECT_EQ(bar->value(), bar->maximum());
    // The keyboard follows the page, to a row in sight.
    EXPECT_TRUE(qobject_cast<ReportHistoryRow*>(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), bar->maximum() - bar->pageStep());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
}
