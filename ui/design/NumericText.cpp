#include "ui/design/NumericText.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace bw::design {

namespace {
// Under reduce motion the digits cross-fade in place instead of rolling.
const MotionKind numericTextMotion = MotionKind::skipping();
} // namespace

NumericText::NumericText(QString text, QObject* parent) : QObject(parent), text_(std::move(text)) {
    connect(&roll_, &AnimatedValue::valueChanged, this, &NumericText::changed);
}

void NumericText::setText(const QString& text, const Motion& motion) {
    if (text == text_) {
        return;
    }
    previous_ = text_;
    text_ = text;
    roll_.setValue(0);
    roll_.animateTo(1, motion);
    emit changed();
}

// Characters are matched from the end, where the digits that change most often are; each text
// stands where its own alignment puts it, so a digit stands still only where both texts hold it
// in the same place, and a text that gains or loses a digit rolls whole.
void NumericText::paint(QPainter& painter, const QRectF& rect, Qt::Alignment logicalAlignment,
                        const std::optional<QColor>& previousColor) const {
    // Left and right as they stand on the screen, leading being the right when mirrored.
    const Qt::Alignment alignment =
        QStyle::visualAlignment(painter.layoutDirection(), logicalAlignment);
    const qreal t = std::clamp(roll_.value(), 0.0, 1.0);
    if (t >= 1) {
        design::drawText(painter, rect, logicalAlignment | Qt::AlignVCenter, text_);
        return;
    }
    const QFontMetricsF metrics(painter.font());
    const auto lineEnd = [&](const QString& text) {
        const qreal width = metrics.horizontalAdvance(text);
        if (alignment & Qt::AlignRight) {
            return rect.right();
        }
        return alignment & Qt::AlignHCenter ? rect.center().x() + width / 2 : rect.left() + width;
    };
    qreal right = lineEnd(text_);
    qreal rightBefore = lineEnd(previous_);
    const qreal baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    const qreal travel = numericTextMotion.isReduced() ? 0 : metrics.height() * 0.5;
    const qreal opacity = painter.opacity();
    const QColor color = painter.pen().color();
    const QColor colorBefore = previousColor.value_or(color);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    for (qsizetype i = 1; i <= std::max(text_.size(), previous_.size()); ++i) {
        const QString now = i <= text_.size() ? text_.mid(text_.size() - i, 1) : QString();
        const QString before =
            i <= previous_.size() ? previous_.mid(previous_.size() - i, 1) : QString();
        right -= metrics.horizontalAdvance(now);
        rightBefore -= metrics.horizontalAdvance(before);
        if (now == before && std::abs(right - rightBefore) < 0.5) {
            painter.setOpacity(opacity);
            painter.setPen(palette::mix(colorBefore, color, t));
            design::drawText(painter, QPointF(right, baseline), now);
            continue;
        }
        painter.setOpacity(opacity * (1 - t));
        painter.setPen(colorBefore);
        design::drawText(painter, QPointF(rightBefore, baseline - travel * t), before);
        painter.setOpacity(opacity * t);
        painter.setPen(color);
        design::drawText(painter, QPointF(right, baseline + travel * (1 - t)), now);
    }
    painter.restore();
}

} // namespace bw::design
