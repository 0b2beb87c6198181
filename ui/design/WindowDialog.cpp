#include "ui/design/WindowDialog.h"

#include "ui/design/KeyboardFocus.h"
#include "ui/design/Palette.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>

namespace bw::design {

WindowDialog::WindowDialog(const QString& title, QWidget* parent)
    : QDialog(parent ? parent->window() : nullptr) {
    setWindowTitle(title);
    setAccessibleName(title);
    setAttribute(Qt::WA_DeleteOnClose);
}

void WindowDialog::setFirstButton(QAbstractButton& button, DialogCode returnAnswer) {
    firstButton_ = &button;
    returnAnswer_ = returnAnswer;
    button.setFocus();
}

void WindowDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    // QDialog gives the first button its focus as if Tab had brought it: its ring shows only
    // when a key opened the dialog.
    if (visible && firstButton_) {
        handOpeningFocus(*firstButton_);
    }
}

void WindowDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        done(returnAnswer_);
        return;
    }
    QDialog::keyPressEvent(event);
}

void WindowDialog::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), palette::menuSurface());
}

} // namespace bw::design
