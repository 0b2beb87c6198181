#pragma once

#include "ui/design/WindowDialog.h"

class QAbstractButton;
class QLabel;

namespace bw::design {

// The window's one question before an action that cannot be undone ("Clear report history?"):
// the title as a heading, the message at a readable width, "Cancel" and the destructive action,
// marked in the danger colour. Return and Escape answer "Cancel", so a stray key press deletes
// nothing; only the action accepts. It opens over its parent's window and deletes itself once
// answered. Texts are plain text: they may carry an app name from a scanned build.
class ConfirmationDialog : public WindowDialog {
    Q_OBJECT

public:
    // The message's width: about sixty characters of the body text to a line.
    static constexpr int messageWidth = 380;

    ConfirmationDialog(const QString& title, const QString& message, const QString& action,
                       QWidget* parent);

    QLabel* titleLabel() const { return title_; }
    QLabel* messageLabel() const { return message_; }
    QAbstractButton* actionButton() const { return action_; }
    QAbstractButton* cancelButton() const { return cancel_; }

private:
    QLabel* title_;
    QLabel* message_;
    QAbstractButton* cancel_;
    QAbstractButton* action_;
};

} // namespace bw::design
