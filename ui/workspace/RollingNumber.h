#pragma once

#include "ui/design/NumericText.h"

#include <QWidget>

namespace bw::workspace {

// A right-aligned number in a monospaced face whose changed characters roll upwards: the old
// one rises out while the new one rises in from below.
class RollingNumber : public QWidget {
    Q_OBJECT

public:
    RollingNumber(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QString text() const { return number_.text(); }
    void setText(const QString& text);
    // The changed characters are still on their way up.
    bool isRolling() const { return number_.isRolling(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont font_;
    QColor color_;
    design::NumericText number_;
};

} // namespace bw::workspace
