#pragma once

#include <QColor>
#include <QMargins>
#include <QWidget>

namespace bw::design {

// A line one point thick: across its width when horizontal (inset by `margins`, which also keep
// room above and below), or `length` points down when vertical.
class Hairline : public QWidget {
public:
    // Horizontal.
    explicit Hairline(const QColor& color, const QMargins& margins = {}, QWidget* parent = nullptr);
    // Vertical.
    Hairline(const QColor& color, int length, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    QMargins margins_;
};

} // namespace bw::design
