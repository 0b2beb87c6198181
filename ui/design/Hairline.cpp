#include "ui/design/Hairline.h"

#include "ui/design/Leading.h"

#include <QPainter>

namespace bw::design {

Hairline::Hairline(const QColor& color, const QMargins& margins, QWidget* parent)
    : QWidget(parent), color_(color), margins_(margins) {
    setFixedHeight(1 + margins.top() + margins.bottom());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

Hairline::Hairline(const QColor& color, int length, QWidget* parent)
    : QWidget(parent), color_(color) {
    setFixedSize(1, length);
}

void Hairline::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(leading(*this, rect().marginsRemoved(margins_)), color_);
}

} // namespace bw::design
