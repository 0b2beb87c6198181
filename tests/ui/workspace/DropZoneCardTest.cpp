#include "ui/workspace/DropZoneCard.h"

#include "tests/ui/workspace/WorkspaceFixture.h"
#include "ui/workspace/ExtensionChip.h"
#include "ui/workspace/HomeStartScreen.h"
#include "ui/workspace/HomeView.h"

#include <QApplication>
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

// Mirrored for a right-to-left language, a chip still draws all of its symbol and text: as much
// ink as unmirrored.
TEST(ExtensionChip, MirroredItDrawsItsWholeText) {
    const auto ink = [](ExtensionChip& chip) {
        // Grabbed as the window draws it: Qt's painter then takes the application's direction.
        const QImage image = chip.grab().toImage();
        double sum = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                sum += qGray(image.pixel(x, y)) * qAlpha(image.pixel(x, y)) / 255.0;
            }
        }
        return sum;
    };
    for (const auto& [text, symbol] :
         {std::pair{".ipa", "iphone"}, {".xcarchive", "shippingbox.fill"}}) {
        ExtensionChip chip(QString::fromUtf8(text), QString::fromUtf8(symbol));
        chip.resize(chip.sizeHint());
        const double unmirrored = ink(chip);
        // As "-reverse" sets it.
        QApplication::setLayoutDirection(Qt::RightToLeft);
        EXPECT_NEAR(ink(chip), unmirrored, unmirrored * 0.03) << text;
        QApplication::setLayoutDirection(Qt::LeftToRight);
    }
}
