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
    struct Case {
        const char* title;
        const char* message;
        const char* action;
        int messageLines;
    };
    const Case cases[] = {
        {"Clear report history?", "This permanently removes all saved reports from this computer.",
         "Clear History", 2},
        {"Delete A Rather Long Application Name For Travel?",
         "This removes all saved scan reports for A Rather Long Application Name For Travel. The "
         "app itself is not affected.",
         "Delete", 3},
    };
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
    for (const Case& test : cases) {
        for (const auto& [answer, press] : answers) {
            SCOPED_TRACE(std::string(test.title) + ", " + answer);
            QWidget window;
            window.show();
            auto* dialog = new ConfirmationDialog(QString::fromUtf8(test.title),
                                                  QString::fromUtf8(test.message),
                                                  QString::fromUtf8(test.action), &window);
            QSignalSpy accepted(dialog, &QDialog::accepted);
            QSignalSpy finished(dialog, &QDialog::finished);
            dialog->open();
            QApplication::processEvents();
            const QLabel& title = *dialog->titleLabel();
            const QLabel& message = *dialog->messageLabel();
            EXPECT_EQ(message.width(), ConfirmationDialog::messageWidth);
            EXPECT_LE(lines(message), test.messageLines);
            EXPECT_LE(lines(title), 2);
            EXPECT_GT(dialog->width(), ConfirmationDialog::messageWidth);
            EXPECT_GT(redPixels(*dialog->actionButton()), 0);
            EXPECT_EQ(redPixels(*dialog->cancelButton()), 0);
            // "Cancel" has the focus from the start, without a ring until Tab moves it.
            EXPECT_TRUE(dialog->cancelButton()->hasFocus());
            EXPECT_FALSE(showsFocusRing(*dialog->cancelButton()));

            press(*dialog);
            EXPECT_EQ(finished.size(), 1);
            EXPECT_EQ(accepted.size(), answer == std::string_view("the action") ? 1 : 0);
        }
    }
}

} // namespace
} // namespace bw::design
