#include "ui/design/ConfirmationDialog.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/HoverButton.h"
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
constexpr qreal plainFillOpacity = 0.08; // white behind "Cancel" at rest

// A capsule button of the dialog: the destructive one in the danger colour, "Cancel" plain.
class DialogButton : public HoverButton {
public:
    DialogButton(const QString& title, bool isDestructive, QWidget* parent)
        : HoverButton(parent), isDestructive_(isDestructive) {
        setText(title);
        setAccessibleName(title);
    }

    QSize sizeHint() const override {
        const int text =
            QFontMetrics(textStyleFont(TextStyle::bodyEmphasized)).horizontalAdvance(this->text());
        return {std::max(84, text + 32), 30};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal lit = isDown() ? 1 : hoverProgress();
        const QColor fill = isDestructive_
                                ? palette::withOpacity(palette::danger(), 0.14 + 0.08 * lit)
                                : QColor::fromRgbF(1, 1, 1, plainFillOpacity + 0.04 * lit);
        painter.fillPath(capsulePath(QRectF(rect())), fill);
        paintCapsuleFocusRing(painter, *this);
        painter.setFont(textStyleFont(TextStyle::bodyEmphasized));
        painter.setPen(isDestructive_ ? palette::danger() : palette::textPrimary());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }

private:
    bool isDestructive_;
};

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
