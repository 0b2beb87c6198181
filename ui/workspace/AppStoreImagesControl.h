#pragma once

#include "ui/design/HoverButton.h"

#include <functional>

namespace bw::workspace {

// The "App Store images" switch row. It keeps no copy of the value: it reads and writes it through
// the binding it is given, and is redrawn by its owner when the value changes elsewhere.
class AppStoreImagesControl : public design::HoverButton {
    Q_OBJECT

public:
    AppStoreImagesControl(const QString& title, std::function<bool()> read,
                          std::function<void(bool)> write, QWidget* parent = nullptr);

    bool isOn() const { return isOn_(); }
    // The owner calls this when the bound value may have changed.
    void refresh();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<bool()> isOn_;
    std::function<void(bool)> setOn_;
    design::AnimatedValue knob_{0.0}; // 1 when the knob rests at the "on" end
};

} // namespace bw::workspace
