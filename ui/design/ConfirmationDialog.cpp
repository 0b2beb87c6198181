#include "ui/design/ConfirmationDialog.h"

#include "ui/design/DialogButton.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace bw::design {

namespace {

constexpr int margin = 24;

QLabel* dialogText(const QString& text, TextStyle style, const QColor& color, QWidget* parent) {
    QLabel* label = makeLabel(text, style, color, Wrap::lines, parent);
    label->setFixedWidth(ConfirmationDialog::messageWidth);
    return label;
}

} // namespace

ConfirmationDialog::ConfirmationDialog(const QString& title, const QString& message,
                                       const QString& action, QWidget* parent)
    : QDialog(parent ? parent->window() : nullptr),
      title_(dialogText(title, TextStyle::sectionTitle, palette::textPrimary(), this)),
      message_(dialogText(message, TextStyle::body, palette::textSecondary(), this)),
      cancel_(new DialogButton(QStringLiteral("Cancel"), false, this)),
      action_(new DialogButton(action, true, this)) {
    setWindowTitle(title);
    setAccessibleName(title);
    setAccessibleDescription(message);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin - 2, margin, margin - 4);
    column->setSpacing(0);
    column->addWidget(title_);
    column->addSpacing(8);
    column->addWidget(message_);
    column->addSpacing(22);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addWidget(action_);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
    // "Cancel" holds the focus from the start, without a ring until Tab moves it.
    cancel_->setFocus();
    connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(action_, &QAbstractButton::clicked, this, &QDialog::accept);
}

void ConfirmationDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    // QDialog gives "Cancel" its first focus as if Tab had brought it; no key was pressed.
    if (visible) {
        forgetKeyboardFocus(*cancel_);
    }
}

void ConfirmationDialog::keyPressEvent(QKeyEvent* event) {
    // Return answers "Cancel" wherever the focus is; Space presses the focused button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ConfirmationDialog::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), palette::menuSurface());
}

} // namespace bw::design
