#include "ui/workspace/RollingNumber.h"

#include <QFontMetricsF>
#include <QPainter>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind rollingNumberMotion = design::MotionKind::skipping();

} // namespace

RollingNumber::RollingNumber(const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), font_(font), color_(color) {
    connect(&number_, &design::NumericText::changed, this, qOverload<>(&QWidget::update));
}

void RollingNumber::setText(const QString& text) {
    setAccessibleName(text);
    number_.setText(text, rollingNumberMotion.easeOut(0.18));
}

QSize RollingNumber::sizeHint() const {
    const QFontMetricsF metrics(font_);
    return QSizeF(metrics.horizontalAdvance(number_.text()) + 1, metrics.height()).toSize();
}

void RollingNumber::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font_);
    painter.setPen(color_);
    // A pixel short of the right edge, where the last letter's ink overhangs its advance.
    number_.paint(painter, QRectF(rect()).adjusted(0, 0, -1, 0), Qt::AlignRight);
}

} // namespace bw::workspace
