#pragma once

#include "ui/design/HoverButton.h"

namespace bw::workspace {

// A bare symbol button with a tooltip; no background, no border, no disabled look.
class FlatIconButton : public design::HoverButton {
    Q_OBJECT

public:
    FlatIconButton(const QString& systemImage, const QString& accessibilityLabel,
                   const QString& help, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {24, 28}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString systemImage_;
};

} // namespace bw::workspace
