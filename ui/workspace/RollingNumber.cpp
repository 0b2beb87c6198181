#include "ui/workspace/RollingNumber.h"

#include <QFontMetricsF>
#include <QPainter>

namespace bw::workspace {

RollingNumber::RollingNumber(const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), font_(font), color_(color) {
    connect(&number_, &design::NumericText::changed, this, qOverload<>(&QWidget::update));
}

void RollingNumber::setText(const QString& text) {
    setAccessibleName(text);
    number_.setText(text, design::Motion::easeOut(0.18).skippedUnderReduceMotion());
}

QSize RollingNumber::sizeHint() const {
    const QFontMetricsF metrics(font_);
    return QSizeF(metrics.horizontalAdvance(number_.text()) + 1, metrics.height()).toSize();
}

void RollingNumber::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font_);
    painter.setPen(color_);
    number_.paint(painter, QRectF(rect()), Qt::AlignRight);
}

} // namespace bw::workspace
