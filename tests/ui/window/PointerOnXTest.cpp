#include "app/AppModel.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/WaitFor.h"
#include "tests/ui/window/WindowHarness.h"
#include "tests/ui/window/XInput.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/window/SidebarDestinationButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDrag>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace bw::window {
namespace {

using namespace Qt::Literals::StringLiterals;
using bw::test::waitFor;

QPoint centre(const QWidget& widget) {
    return widget.mapToGlobal(widget.rect().center());
}

// What the user does next once the screen shows what `ready` looks for.
struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
};

// Runs `steps` in turn from a timer, so that they go on inside the event loop of a menu or a
// dialog that has one of its own; false when they are not all done within two minutes.
bool perform(const std::vector<Step>& steps) {
    std::size_t next = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (next < steps.size() && steps[next].ready()) {
            steps[next++].act();
        }
    });
    tick.start(20);
    return waitFor([&] { return next == steps.size(); }, 120);
}

const auto always = [] { return true; };

// A window a file is dragged from, as a file manager drags one: from a press of the button, as a
// copy or a move, a move by default.
class FileSource : public QWidget {
public:
    QString path;
    bool isDragging = false;
    Qt::DropAction result = Qt::IgnoreAction;
    // What the window under the drag answered as it went, in turn.
    std::vector<Qt::DropAction> answers;

protected:
    void mousePressEvent(QMouseEvent*) override {
        QTimer::singleShot(0, this, [this] {
            auto* drag = new QDrag(this);
            auto* data = new QMimeData;
            data->setUrls({QUrl::fromLocalFile(path)});
            drag->setMimeData(data);
            connect(drag, &QDrag::actionChanged, this,
                    [this](Qt::DropAction action) { answers.push_back(action); });
            answers.clear();
            isDragging = true;
            result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
            isDragging = false;
        });
    }
};

// On an X server the pointer is the server's: it grabs for popups, crosses windows and tells the
// program, as for a user's own hand.
class PointerOnXTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != u"xcb"_s) {
            GTEST_SKIP() << "Xvfb did not start: no X display to move a pointer on";
        }
        ASSERT_TRUE(input.isOpen()) << "the X display offers no XTEST";
    }

    // Over the toolbar, clear of its items.
    QPoint away(test::WindowHarness& window) {
        return window.root().mapToGlobal(QPoint(window.root().width() / 2 - 100, 12));
    }

    test::XInput input;
};

// The row's actions popover, closed by a click elsewhere or by Escape; then the pointer leaves.
// A quick click elsewhere left the row lit only now and then, so each way is tried many times.
TEST_F(PointerOnXTest, AfterAnAppsPopoverClosesTheRowGoesDarkWhenThePointerLeaves) {
    test::WindowHarness window;
    window.relaunch({bw::test::sampleReport(1), bw::test::sampleReport(2)});
    SidebarAppButton* row = window.root().sidebar()->appRows().front();
    const QPoint elsewhere =
        window.root().mapToGlobal(QPoint(window.root().width() - 60, window.root().height() - 60));
    for (int attempt = 0; attempt < 24; ++attempt) {
        const bool byClick = attempt % 4 != 3;
        SCOPED_TRACE(
            (byClick ? "closed by a click elsewhere, attempt " : "closed by Escape, attempt ") +
            std::to_string(attempt));
        ASSERT_TRUE(perform({
            {always, [&] { input.moveTo(centre(*row)); }},
            {[&] { return row->isHovering(); }, [&] { input.click(3); }},
            {[&] { return row->isActionMenuPresented(); },
             [&] {
                 if (byClick) {
                     input.moveTo(elsewhere);
                     input.click(1);
                 } else {
                     input.pressEscape();
                 }
             }},
            {[&] { return !row->isActionMenuPresented(); }, [&] { input.moveTo(away(window)); }},
        }));
        EXPECT_TRUE(waitFor([&] { return !row->isHovering() && row->hoverProgress() == 0; }, 10));
    }
}

// "Save As…" from the toolbar's share menu; the pointer rests on the sidebar's Scan row while the
// dialog is up, Escape closes it, and the pointer leaves.
TEST_F(PointerOnXTest, AfterTheSaveAsDialogClosesTheShareItemAndTheScanRowGoDark) {
    test::WindowHarness window({u"berthwatch"_s}, /*realScreens=*/true, /*realSaveDialog=*/true);
    const ScanReport report = bw::test::sampleReport(1);
    window.relaunch({report});
    window.model().openReport(report);
    QAbstractButton* share = bw::test::button(window.root(), u"Share report"_s);
    ASSERT_NE(share, nullptr);
    SidebarDestinationButton* scan = window.root().sidebar()->destination(AppSection::scan);
    const auto menu = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
    const auto dialog = [] {
        return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    };
    ASSERT_TRUE(perform({
        {[&] { return share->isEnabled(); }, [&] { input.moveTo(centre(*share)); }},
        {[&] { return share->underMouse(); }, [&] { input.click(1); }},
        {[&] { return menu() != nullptr; },
         [&] {
             for (QAction* action : menu()->actions()) {
                 if (action->text() == u"Save As…"_s) {
                     input.moveTo(menu()->mapToGlobal(menu()->actionGeometry(action).center()));
                 }
             }
             input.click(1);
         }},
        {[&] { return dialog() && dialog()->isActiveWindow(); },
         [&] { input.moveTo(centre(*scan)); }},
        {always, [&] { input.pressEscape(); }},
        {[&] { return dialog() == nullptr; }, [] {}},
    }));
    EXPECT_TRUE(waitFor([&] { return scan->isHovering(); }, 10)) << "the row under the pointer";
    input.moveTo(away(window));
    EXPECT_TRUE(waitFor([&] { return !share->underMouse(); }, 10));
    EXPECT_TRUE(waitFor([&] { return !scan->isHovering() && scan->hoverProgress() == 0; }, 10));
}

// A build dragged from another window: while a scan runs, or while another build is in its launch,
// the window shows the drag refused from the moment it is over it, and the source learns that
// nothing was done (a source that deletes what it moved would lose the build); otherwise the build
// is taken, as a copy.
TEST_F(PointerOnXTest, ADropTheWindowWillNotUseIsRefusedAsItIsDragged) {
    test::WindowHarness window;
    AppModel& model = window.model();
    FileSource source;
    source.setGeometry(1140, 100, 120, 120);
    source.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&source));
    const QPoint over = window.root().contentArea()->mapToGlobal(QPoint(200, 200));
    const auto drag = [&](const QString& path) {
        source.path = path;
        return perform({
            {always, [&] { input.moveTo(centre(source)); }},
            {[&] { return source.underMouse(); }, [&] { input.press(1); }},
            {[&] { return source.isDragging; }, [&] { input.moveTo(over); }},
            // Heard by the window: it answers each move.
            {[&] { return model.isBuildDropTargeted(); },
             [&] { input.moveTo(over + QPoint(8, 8)); }},
            {always, [&] { input.release(1); }},
            {[&] { return !source.isDragging; }, [] {}},
        });
    };
    const auto refused = [&] {
        return source.result == Qt::IgnoreAction &&
               std::ranges::all_of(source.answers, [](auto a) { return a == Qt::IgnoreAction; });
    };
    const QString clean = bw::test::fixtureBuild(u"Clean.ipa"_s);
    const QString debug = bw::test::fixtureBuild(u"Debug.ipa"_s);

    window.harness.stage(clean);
    model.startScan(false);
    ASSERT_TRUE(model.scanPhase().isBusy());
    ASSERT_TRUE(drag(debug));
    EXPECT_TRUE(refused()) << "while a scan runs";
    ASSERT_TRUE(waitFor([&] {
        window.harness.clock.advance(std::chrono::seconds(1));
        return !model.scanPhase().isBusy();
    }));

    ASSERT_TRUE(bw::test::dropFile(*window.window, window.window->mapFromGlobal(over), clean));
    ASSERT_TRUE(model.isBuildImportLaunching());
    ASSERT_TRUE(drag(debug));
    EXPECT_TRUE(refused()) << "while a build is in its launch";
    window.harness.clock.advance(std::chrono::milliseconds(360));
    ASSERT_TRUE(model.staged().has_value());
    ASSERT_EQ(model.staged()->path, clean);

    ASSERT_TRUE(drag(debug));
    EXPECT_EQ(source.result, Qt::CopyAction);
    EXPECT_EQ(source.answers.back(), Qt::CopyAction);
    window.harness.clock.advance(std::chrono::milliseconds(360));
    ASSERT_TRUE(model.staged().has_value());
    EXPECT_EQ(model.staged()->path, debug);
}

} // namespace
} // namespace bw::window
