#pragma once

#include <QDialog>

class QAbstractButton;

namespace bw::design {

// A dialog of the window drawn with the kit, on the menu's surface. It opens over its parent's
// window and deletes itself once closed. One button holds the focus from the start, with its ring
// when a key opened the dialog, and Return gives one answer wherever the focus is; Escape rejects.
class WindowDialog : public QDialog {
    Q_OBJECT

public:
    void setVisible(bool visible) override;

protected:
    WindowDialog(const QString& title, QWidget* parent);

    // `button` takes the first focus; Return answers `returnAnswer`.
    void setFirstButton(QAbstractButton& button, DialogCode returnAnswer);

    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QAbstractButton* firstButton_ = nullptr;
    DialogCode returnAnswer_ = Rejected;
};

} // namespace bw::design
