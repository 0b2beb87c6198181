#include "ui/workspace/RollingNumber.h"

#include <QFontMetricsF>
#include <QPainter>

namespace bw::workspace {

RollingNumber::RollingNumber(const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), font_(font), color_(color) {
    connect(&roll_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void RollingNumber::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    previous_ = text_;
    text_ = text;
    setAccessibleName(text);
    roll_.setValue(0);
    roll_.animateTo(1, design::Motion::easeOut(0.18).skippedUnderReduceMotion());
}

QSize RollingNumber::sizeHint() const {
    const QFontMetricsF metrics(font_);
    return QSizeF(metrics.horizontalAdvance(text_) + 1, metrics.height()).toSize();
}

// Characters are matched from the right, where the digits that change most often are.
void RollingNumber::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font_);
    painter.setPen(color_);
    painter.setClipRect(rect());
    const QFontMetricsF metrics(font_);
    const double t = std::clamp(roll_.value(), 0.0, 1.0);
    const qreal rise = metrics.height() * 0.5;
    const qreal baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    const auto length = std::max(text_.size(), previous_.size());
    qreal right = width();
    for (qsizetype i = 1; i <= length; ++i) {
        const QString now = i <= text_.size() ? text_.mid(text_.size() - i, 1) : QString();
        const QString before =
            i <= previous_.size() ? previous_.mid(previous_.size() - i, 1) : QString();
        const qreal advance = metrics.horizontalAdvance(now.isEmpty() ? before : now);
        right -= advance;
        if (now == before || t >= 1) {
            painter.setOpacity(1);
            painter.drawText(QPointF(right, baseline), now);
            continue;
        }
        painter.setOpacity(1 - t);
        painter.drawText(QPointF(right, baseline - rise * t), before);
        painter.setOpacity(t);
        painter.drawText(QPointF(right, baseline + rise * (1 - t)), now);
    }
}

} // namespace bw::workspace
