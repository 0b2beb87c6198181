#pragma once

#include "ui/design/Motion.h"

#include <QWidget>

namespace bw::workspace {

// A right-aligned number in a monospaced face whose changed characters roll upwards: the old
// one rises out while the new one rises in from below.
class RollingNumber : public QWidget {
    Q_OBJECT

public:
    RollingNumber(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    // The changed characters are still on their way up.
    bool isRolling() const { return roll_.value() < 1; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont font_;
    QColor color_;
    QString text_;
    QString previous_;
    design::AnimatedValue roll_{1.0};
};

} // namespace bw::workspace
