#pragma once

#include "ui/design/HoverButton.h"

namespace bw::workspace {

// A plain text button with a leading symbol that turns a little while the pointer is over it
// ("Retry preview").
class StagedTextButton : public design::HoverButton {
    Q_OBJECT

public:
    StagedTextButton(const QString& title, const QString& systemImage, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString systemImage_;
};

} // namespace bw::workspace
