// The product in its real window: a build dropped on the window is scanned, its report shown,
// saved, saved as a file and listed in the sidebar, whose menu reveals and deletes it.

#include "app/AppModel.h"
#include "model/ReportStore.h"
#include "tests/ui/window/WindowHarness.h"
#include "ui/report/ReportView.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarAppActionMenu.h"
#include "ui/window/SidebarAppButton.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::window {
namespace {

using bw::test::button;

TEST(EndToEndTest, ADroppedBuildIsScannedShownSavedListedRevealedAndDeleted) {
    test::WindowHarness window({QStringLiteral("berthwatch")}, /*realScreens=*/true);
    AppModel& model = window.model();
    QWidget& main = *window.window;
    const QString build = bw::test::fixtureBuild(QStringLiteral("Clean.ipa"));

    ASSERT_TRUE(bw::test::dropFile(main, main.rect().center(), build));
    window.harness.clock.advance(std::chrono::milliseconds(360));
    ASSERT_TRUE(bw::test::waitFor([&] { return !model.isStagedPreviewLoading(); }));
    ASSERT_TRUE(model.staged().has_value());
    bw::test::settle();

    // "Back" sits in the window's toolbar, above the staged build's screen.
    QAbstractButton* back = button(main, QStringLiteral("Back to Scan"));
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(window.root().screen()->isAncestorOf(back));

    QAbstractButton* scan = button(main, QStringLiteral("Scan build"));
    ASSERT_NE(scan, nullptr);
    QTest::mouseClick(scan, Qt::LeftButton);
    // The scan's work runs for real; its minimum presentation passes on the manual clock.
    ASSERT_TRUE(bw::test::waitFor([&] {
        window.harness.clock.advance(std::chrono::seconds(1));
        return model.report().has_value();
    }));
    bw::test::settle();
    const ScanReport report = *model.report();
    ASSERT_FALSE(report.findings.empty());
    ASSERT_NE(window.root().screen()->findChild<report::ReportView*>(), nullptr);
    EXPECT_FALSE(back->isVisible());

    ASSERT_TRUE(bw::test::waitFor([&] {
        const std::vector<ScanReport> saved = ReportStore(window.harness.history).load().reports;
        return saved.size() == 1 && saved.front().id == report.id;
    }));

    BerthwatchSidebar& sidebar = *window.root().sidebar();
    ASSERT_EQ(sidebar.appRows().size(), 1u);
    SidebarAppButton* row = sidebar.appRows().front();
    EXPECT_EQ(row->app().bundleIdentifier, report.metadata.bundleIdentifier);
    EXPECT_TRUE(row->isSelected());

    // The toolbar's share menu saves under the app's name; what it writes is the share button's
    // own test.
    for (QAction* action : window.root().findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("Save As…")) {
            action->trigger();
        }
    }
    EXPECT_TRUE(bw::test::waitFor([&] {
        return QFileInfo::exists(window.harness.folder.path() + u'/' + report.metadata.appName +
                                 QStringLiteral(".md"));
    }));

    row->showActionMenu();
    QTest::mouseClick(button(*row->actionMenu(), QStringLiteral("Reveal Build in File Manager")),
                      Qt::LeftButton);
    EXPECT_EQ(window.harness.revealed, std::vector<QString>{report.sourcePath});
    bw::test::settle();

    row->showActionMenu();
    QTest::mouseClick(button(*row->actionMenu(), QStringLiteral("Delete App History")),
                      Qt::LeftButton);
    bw::test::settle();
    ASSERT_TRUE(bw::test::answerConfirmation(QStringLiteral("Delete")));
    // The deleted app's report was on show: once saved, the window returns to a new scan.
    ASSERT_TRUE(bw::test::waitFor([&] {
        return !model.report() && ReportStore(window.harness.history).load().reports.empty();
    }));
    bw::test::settle();
    EXPECT_TRUE(sidebar.appRows().empty());
}

} // namespace
} // namespace bw::window
