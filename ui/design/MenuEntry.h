#pragma once

#include "ui/design/HoverButton.h"

namespace bw::design {

// One entry of a popup menu of actions: a symbol and a title, lit on hover or keyboard focus, in
// the danger colour when destructive. Clickable over the whole of its `width`.
class MenuEntry : public HoverButton {
    Q_OBJECT

public:
    MenuEntry(const QString& title, const QString& systemImage, bool isDestructive, int width,
              QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString systemImage_;
    bool isDestructive_;
    int width_;
};

} // namespace bw::design
