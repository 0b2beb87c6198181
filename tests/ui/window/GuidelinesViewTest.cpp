#include "ui/window/GuidelinesView.h"

#include "tests/support/FieldOf.h"
#include "tests/support/QtPrinters.h"
#include "tests/ui/Entrances.h"
#include "tests/ui/Widgets.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/report/SearchField.h"
#include "ui/window/GuidelineCategoryChip.h"
#include "ui/window/GuidelineList.h"
#include "ui/window/GuidelineRow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::window;

namespace {

struct Browser {
    Browser()
        : view([this](const QUrl& url) {
              opened.push_back(url);
              return true;
          }) {
        view.resize(900, 700);
        view.show();
        QApplication::processEvents();
    }

    std::vector<QString> shownIds() const {
        return bw::test::fieldOf(view.shownRows(),
                                 [](const GuidelineRow* row) { return row->reference().id; });
    }

    std::vector<QUrl> opened;
    GuidelinesView view;
};

} // namespace

TEST(GuidelinesView, SearchNarrowsByNumberTitleSummaryAndCategoryIgnoringCaseNotAccents) {
    const std::pair<QString, std::vector<QString>> cases[] = {
        {"  PRIVACY\n", {"2.3", "4.8", "5.1.1", "5.1.1(v)", "5.1.2"}},
        {"spam", {"4.3"}},
        {"5.1", {"2.5.1", "5.1.1", "5.1.1(v)", "5.1.2"}},
        {"Späm", {}},
    };
    Browser browser;
    for (const auto& [query, ids] : cases) {
        browser.view.searchField()->setText(query);
        EXPECT_EQ(browser.shownIds(), ids) << query.toStdString();
        EXPECT_EQ(browser.view.emptyState()->isVisibleTo(&browser.view), ids.empty());
    }
    browser.view.searchField()->setText(" \n ");
    EXPECT_EQ(browser.shownIds().size(), 16u);
}

TEST(GuidelinesView, OneCategoryAtATimeAndClearingFiltersShowsEverything) {
    Browser browser;
    GuidelineCategoryChip* binary = browser.view.chip(FindingCategory::binary);
    QTest::mouseClick(binary, Qt::LeftButton);
    QTest::mouseClick(binary, Qt::LeftButton);
    EXPECT_TRUE(binary->isSelected());
    EXPECT_FALSE(browser.view.chip(std::nullopt)->isSelected());
    EXPECT_EQ(browser.shownIds(), (std::vector<QString>{"2.5", "2.5.1", "2.5.4"}));

    browser.view.searchField()->setText("privacy");
    EXPECT_TRUE(browser.view.emptyState()->isVisibleTo(&browser.view));
    auto* clear = bw::test::named<QAbstractButton>(*browser.view.emptyState(), "Clear filters");
    ASSERT_NE(clear, nullptr);
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(browser.view.searchField()->text(), "");
    EXPECT_TRUE(browser.view.chip(std::nullopt)->isSelected());
    EXPECT_EQ(browser.shownIds().size(), 16u);
}

TEST(GuidelinesView, KeyboardAndClicksOpenTheGuidelinePage) {
    Browser browser;
    browser.view.searchField()->setText("spam");
    GuidelineRow* row = browser.view.shownRows().front();
    row->setFocus();
    QTest::keyClick(row, Qt::Key_Space);
    QTest::keyClick(row, Qt::Key_Return);
    QTest::qWait(300); // Return animates the press
    QTest::mouseClick(row, Qt::LeftButton);
    EXPECT_EQ(browser.opened, std::vector<QUrl>(3, row->reference().url));
    EXPECT_EQ(row->accessibleName(), "Guideline 4.3, Spam");
}

TEST(GuidelinesView, ClickingAChipLeavesTheFocusInTheSearchField) {
    Browser browser;
    browser.view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&browser.view));
    QLineEdit* edit = browser.view.searchField()->lineEdit();
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::mouseClick(browser.view.chip(FindingCategory::privacy), Qt::LeftButton);
    QTest::qWait(400);
    EXPECT_TRUE(edit->hasFocus());
}

TEST(GuidelinesView, TheHeaderRisesSixPointsAndTheControlsAndListFive) {
    design::MotionPreferences::instance().overrideReduceMotion(false);
    GuidelinesView view([](const QUrl&) { return true; });
    view.resize(900, 700);
    view.show();
    QWidget* header = nullptr;
    for (QLabel* label : view.findChildren<QLabel*>()) {
        if (label->text() == u"Guidelines"_qs) {
            header = label->parentWidget();
        }
    }
    ASSERT_NE(header, nullptr);
    const std::vector<QWidget*> parts{header, view.searchField()->parentWidget(), view.list()};
    const std::vector<double> rises{6, 5, 5};
    const auto frames = bw::test::entranceFrames(parts);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        ASSERT_FALSE(frames[i].empty()) << i;
        for (const bw::test::EntranceFrame& frame : frames[i]) {
            EXPECT_NEAR(frame.drop, rises[i] * (1 - frame.opacity), 0.05) << i;
        }
    }
    design::MotionPreferences::instance().overrideReduceMotion({});
}

// The chips come in with the search field above them, in the same frames and as far.
TEST(GuidelinesView, TheChipsFadeInWithTheSearchField) {
    design::MotionPreferences::instance().overrideReduceMotion(false);
    // Put in the window's place as the window does: a screen added to a shown layout.
    QWidget window;
    window.resize(900, 700);
    auto* layout = new QVBoxLayout(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // What the window shows on the screen, not a picture drawn apart.
    const auto screenShot = [&] { return window.screen()->grabWindow(window.winId()).toImage(); };
    const QImage blank = screenShot();
    auto* view = new GuidelinesView([](const QUrl&) { return true; }, &window);
    layout->addWidget(view);
    view->show();
    std::vector<QImage> frames;
    QWidget* search = view->searchField();
    QWidget* chips = view->chip(std::nullopt)->parentWidget()->parentWidget()->parentWidget();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            frames.push_back(screenShot());
            return !search->parentWidget()->graphicsEffect();
        },
        10000));
    QTest::qWait(100);
    const QImage settled = screenShot();
    // Their places, and the 5 points below them that they rise from.
    const auto place = [&](QWidget* widget) {
        return QRect(widget->mapTo(&window, QPoint()), widget->size()).adjusted(0, 0, 0, 6);
    };
    const QRect searchPlace = place(search);
    const QRect chipsPlace = place(chips);
    const double searchInk = bw::test::imageDistance(settled, blank, {searchPlace});
    const double chipsInk = bw::test::imageDistance(settled, blank, {chipsPlace});
    ASSERT_GT(chipsInk, 0);
    int apart = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const double searchShown =
            bw::test::imageDistance(frames[i], blank, {searchPlace}) / searchInk;
        const double chipsShown =
            bw::test::imageDistance(frames[i], blank, {chipsPlace}) / chipsInk;
        apart += std::abs(searchShown - chipsShown) > 0.25;
    }
    EXPECT_GT(frames.size(), 5u);
    EXPECT_EQ(apart, 0) << "of " << frames.size() << " frames";
    design::MotionPreferences::instance().overrideReduceMotion({});
}

// The arrow's colour moves with the hover, step by step, not at one point of it.
TEST(GuidelineRow, TheArrowBrightensAlongWithTheHover) {
    const auto lightness = [](qreal hover) { return GuidelineRow::arrowColor(hover).lightnessF(); };
    EXPECT_EQ(GuidelineRow::arrowColor(0), design::palette::textTertiary());
    EXPECT_EQ(GuidelineRow::arrowColor(1), design::palette::textSecondary());
    qreal previous = lightness(0);
    for (const qreal hover : {0.25, 0.5, 0.75, 1.0}) {
        EXPECT_GT(lightness(hover), previous) << hover;
        previous = lightness(hover);
    }
}

// A wheel scroll brings another row under the pointer: that row lights and the one scrolled away
// goes dark; out of the window, none is lit.
TEST(GuidelinesView, AfterAWheelScrollOnlyTheRowUnderThePointerIsLit) {
    Browser browser;
    QScrollArea* scroll = nullptr;
    for (QScrollArea* area : browser.view.findChildren<QScrollArea*>()) {
        if (area->isAncestorOf(browser.view.list())) {
            scroll = area;
        }
    }
    ASSERT_NE(scroll, nullptr);
    QWidget* viewport = scroll->viewport();
    const QPoint pointer = viewport->mapToGlobal(viewport->rect().center());
    const auto rowAt = [&](QPoint global) -> GuidelineRow* {
        for (GuidelineRow* row : browser.view.shownRows()) {
            if (row->rect().contains(row->mapFromGlobal(global))) {
                return row;
            }
        }
        return nullptr;
    };
    const auto lit = [&] {
        std::vector<GuidelineRow*> rows;
        for (GuidelineRow* row : browser.view.shownRows()) {
            if (row->isHovering()) {
                rows.push_back(row);
            }
        }
        return rows;
    };
    bw::test::movePointer(pointer);
    GuidelineRow* before = rowAt(pointer);
    ASSERT_NE(before, nullptr);
    ASSERT_EQ(lit(), std::vector{before});

    QWheelEvent wheel(viewport->mapFromGlobal(pointer), pointer, {}, {0, -480}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    bw::test::settle();
    GuidelineRow* after = rowAt(pointer);
    ASSERT_NE(after, nullptr);
    ASSERT_NE(after, before);
    EXPECT_EQ(lit(), std::vector{after});
    bw::test::movePointerOffAllWindows();
    EXPECT_EQ(lit(), std::vector<GuidelineRow*>{});
}
