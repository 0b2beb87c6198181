#include "ui/design/ConfirmationDialog.h"

#include "ui/design/KeyboardFocus.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::design {
namespace {

using namespace Qt::Literals::StringLiterals;

// How many pixels of the widget are plainly red: the danger colour marks the action.
int redPixels(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.red() > pixel.green() + 60 && pixel.red() > pixel.blue() + 60;
        }
    }
    return count;
}

int lines(const QLabel& label) {
    return int(std::lround(label.height() / double(label.fontMetrics().lineSpacing())));
}

TEST(ConfirmationDialog, HeadsItsQuestionAndReadsAtAWidthWhereOnlyTheActionAccepts) {
    const QString name = QStringLiteral("A Rather Long Application Name For Travel");
    // The answers: a key pressed where the focus is, or a click; only the action confirms.
    const std::pair<const char*, std::function<void(ConfirmationDialog&)>> answers[] = {
        {"Return", [](ConfirmationDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }},
        {"Return on the action",
         [](ConfirmationDialog& d) {
             QTest::keyClick(&d, Qt::Key_Tab);
             EXPECT_TRUE(showsFocusRing(*d.actionButton()));
             QTest::keyClick(d.actionButton(), Qt::Key_Return);
         }},
        {"Escape", [](ConfirmationDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"Cancel",
         [](ConfirmationDialog& d) { QTest::mouseClick(d.cancelButton(), Qt::LeftButton); }},
        {"the action",
         [](ConfirmationDialog& d) { QTest::mouseClick(d.actionButton(), Qt::LeftButton); }},
    };
    for (const auto& [answer, press] : answers) {
        SCOPED_TRACE(answer);
        QWidget window;
        window.show();
        auto* dialog = new ConfirmationDialog(u"Delete "_s + name + u'?',
                                              u"This removes all saved scan reports for "_s + name +
                                                  u". The app itself is not affected."_s,
                                              u"Delete"_s, &window);
        QSignalSpy accepted(dialog, &QDialog::accepted);
        QSignalSpy finished(dialog, &QDialog::finished);
        // Opened by a click: the answer before was a key.
        QTest::mouseClick(&window, Qt::LeftButton);
        dialog->open();
        QApplication::processEvents();
        EXPECT_EQ(dialog->messageLabel()->width(), ConfirmationDialog::messageWidth);
        EXPECT_LE(lines(*dialog->messageLabel()), 3);
        EXPECT_LE(lines(*dialog->titleLabel()), 2);
        EXPECT_GT(dialog->width(), ConfirmationDialog::messageWidth);
        EXPECT_GT(redPixels(*dialog->actionButton()), 0);
        EXPECT_EQ(redPixels(*dialog->cancelButton()), 0);
        // "Cancel" has the focus from the start, without a ring after a click until Tab moves it.
        EXPECT_TRUE(dialog->cancelButton()->hasFocus());
        EXPECT_FALSE(showsFocusRing(*dialog->cancelButton()));

        press(*dialog);
        EXPECT_EQ(finished.size(), 1);
        EXPECT_EQ(accepted.size(), answer == std::string_view("the action") ? 1 : 0);
    }
}

} // namespace
} // namespace bw::design
