#include "ui/workspace/DropZoneCard.h"

#include "tests/ui/workspace/WorkspaceFixture.h"
#include "ui/workspace/HomeStartScreen.h"
#include "ui/workspace/HomeView.h"

#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

using namespace bw::workspace;
using namespace bw::workspace::test;

// The card opens the panel from the keyboard as a list's row would: Space, Return and Enter.
// Its own suite, run after the staged screen's: with a window activated before them, their
// edge fades were seen to fail now and then.
TEST(DropZoneCard, TheKeysThatOpenARowOpenThePanel) {
    Workspace workspace;
    HomeView home{workspace.model(), workspace.chooser, Workspace::links()};
    home.resize(1120, 760);
    home.show();
    home.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&home));
    auto* card = home.stageWidget()->findChild<DropZoneCard*>();
    ASSERT_NE(card, nullptr);
    card->setFocus(Qt::TabFocusReason);
    const std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {"Space", Qt::Key_Space, Qt::NoModifier},
        {"Return", Qt::Key_Return, Qt::NoModifier},
        {"Enter", Qt::Key_Enter, Qt::KeypadModifier}};
    std::size_t asked = 0;
    for (const auto& [name, key, modifiers] : keys) {
        SCOPED_TRACE(name);
        QTest::keyClick(card, key, modifiers);
        EXPECT_TRUE(QTest::qWaitFor([&] { return workspace.chooser.asked.size() == asked + 1; }));
        asked = workspace.chooser.asked.size();
    }
}
