#pragma once

#include "ui/design/HoverButton.h"

namespace bw::workspace {

// The red "Remove" capsule centred over a filled review slot while the pointer is over it.
class CenteredRemoveButton : public design::HoverButton {
    Q_OBJECT

public:
    // `help` is the tooltip and the accessible name, shown verbatim.
    explicit CenteredRemoveButton(const QString& help, QWidget* parent = nullptr);

    // How far the button has appeared over its slot (0...1): its opacity, and its scale from 0.96.
    void setPresence(qreal presence);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal presence_ = 1;
};

} // namespace bw::workspace
