#pragma once

#include "ui/design/HoverButton.h"

namespace bw::design {

// A capsule button of the window's dialogs: a destructive one in the danger colour, any other
// plain.
class DialogButton : public HoverButton {
    Q_OBJECT

public:
    DialogButton(const QString& title, bool isDestructive, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool isDestructive_;
};

} // namespace bw::design
