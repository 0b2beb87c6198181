#include "ui/design/ConfirmationDialog.h"

#include "ui/design/DialogButton.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
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
    : WindowDialog(title, parent),
      title_(dialogText(title, TextStyle::sectionTitle, palette::textPrimary(), this)),
      message_(dialogText(message, TextStyle::body, palette::textSecondary(), this)),
      cancel_(new DialogButton(QStringLiteral("Cancel"), false, this)),
      action_(new DialogButton(action, true, this)) {
    setAccessibleDescription(message);
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
    // "Cancel" holds the focus from the start, and Return answers it wherever the focus is, so a
    // stray key press deletes nothing; Space presses the focused button.
    setFirstButton(*cancel_, Rejected);
    connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(action_, &QAbstractButton::clicked, this, &QDialog::accept);
}

} // namespace bw::design
