#pragma once

#include <QAbstractButton>

namespace bw::workspace {

// A custom-painted button of the staged build screen: plain (no system chrome), its whole
// rectangle clickable, redrawn when the pointer enters or leaves it.
class HoverButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit HoverButton(QWidget* parent = nullptr);

    bool isHovering() const { return isHovering_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setHovering(bool hovering);

    bool isHovering_ = false;
};

} // namespace bw::workspace
