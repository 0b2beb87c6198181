#include "ui/window/GuidelinesView.h"

#include "tests/support/QtPrinters.h"
#include "ui/report/SearchField.h"
#include "ui/window/GuidelineCategoryChip.h"
#include "ui/window/GuidelineList.h"
#include "ui/window/GuidelineRow.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::window;

namespace {

struct Browser {
    Browser() : view([](const QUrl&) { return true; }) {
        view.resize(900, 700);
        view.show();
        QApplication::processEvents();
    }

    QStringList shownIds() const {
        QStringList ids;
        for (const GuidelineRow* row : view.shownRows()) {
            ids << row->reference().id;
        }
        return ids;
    }

    GuidelinesView view;
};

} // namespace

TEST(GuidelinesView, SearchNarrowsByNumberTitleSummaryAndCategoryIgnoringCaseNotAccents) {
    struct Case {
        QString query;
        QStringList ids;
    } cases[] = {
        {"  PRIVACY\n", {"2.3", "4.8", "5.1.1", "5.1.1(v)", "5.1.2"}},
        {"spam", {"4.3"}},
        {"SpAm", {"4.3"}},
        {"5.1", {"2.5.1", "5.1.1", "5.1.1(v)", "5.1.2"}},
        {"public apis", {"2.5", "2.5.1"}},
        {"Späm", {}},
        {"privacý", {}},
    };
    Browser browser;
    for (const Case& c : cases) {
        browser.view.searchField()->setText(c.query);
        EXPECT_EQ(browser.shownIds(), c.ids) << c.query.toStdString();
        EXPECT_EQ(browser.view.emptyState()->isVisibleTo(&browser.view), c.ids.isEmpty());
    }
    browser.view.searchField()->setText(" \n ");
    EXPECT_EQ(browser.shownIds().size(), 16);
}

TEST(GuidelinesView, OneCategoryAtATimeAndClearingFiltersShowsEverything) {
    Browser browser;
    QStringList titles;
    for (auto* chip : browser.view.findChildren<GuidelineCategoryChip*>()) {
        titles << chip->text();
    }
    EXPECT_EQ(titles, QStringList({"All", "Binary", "Manual", "Metadata", "Package", "Payments",
                                   "Privacy", "Resources", "Screenshots"}));

    GuidelineCategoryChip* binary = browser.view.chip(FindingCategory::binary);
    QTest::mouseClick(binary, Qt::LeftButton);
    QTest::mouseClick(binary, Qt::LeftButton);
    EXPECT_TRUE(binary->isSelected());
    EXPECT_FALSE(browser.view.chip(std::nullopt)->isSelected());
    EXPECT_EQ(browser.shownIds(), QStringList({"2.5", "2.5.1", "2.5.4"}));

    browser.view.searchField()->setText("privacy");
    EXPECT_TRUE(browser.view.emptyState()->isVisibleTo(&browser.view));
    for (auto* button : browser.view.emptyState()->findChildren<QAbstractButton*>()) {
        if (button->text() == "Clear filters") {
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    EXPECT_EQ(browser.view.searchField()->text(), "");
    EXPECT_TRUE(browser.view.chip(std::nullopt)->isSelected());
    EXPECT_EQ(browser.shownIds().size(), 16);
}
