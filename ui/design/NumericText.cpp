#include "ui/design/NumericText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace bw::design {

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

void NumericText::paint(QPainter& painter, const QRectF& rect, Qt::Alignment alignment) const {
    const qreal t = std::clamp(roll_.value(), 0.0, 1.0);
    if (t >= 1) {
        painter.drawText(rect, alignment | Qt::AlignVCenter, text_);
        return;
    }
    const QFontMetricsF metrics(painter.font());
    // The new text decides where the line starts; what both share at the front stays still.
    const qreal width = metrics.horizontalAdvance(text_);
    qreal left = rect.left();
    if (alignment & Qt::AlignRight) {
        left = rect.right() - width;
    } else if (alignment & Qt::AlignHCenter) {
        left = rect.center().x() - width / 2;
    }
    const auto shared =
        std::mismatch(text_.begin(), text_.end(), previous_.begin(), previous_.end());
    const QString stays = text_.left(shared.first - text_.begin());
    const qreal rest = left + metrics.horizontalAdvance(stays);
    const qreal travel = MotionPreferences::instance().reduceMotion() ? 0 : metrics.height() * 0.6;
    const QRectF line(0, rect.top(), rect.width() + metrics.maxWidth(), rect.height());

    painter.save();
    painter.setClipRect(rect.adjusted(0, 0, metrics.maxWidth(), 0), Qt::IntersectClip);
    painter.drawText(line.translated(left, 0), Qt::AlignLeft | Qt::AlignVCenter, stays);
    const qreal opacity = painter.opacity();
    painter.setOpacity(opacity * (1 - t));
    painter.drawText(line.translated(rest, -travel * t), Qt::AlignLeft | Qt::AlignVCenter,
                     previous_.mid(stays.size()));
    painter.setOpacity(opacity * t);
    painter.drawText(line.translated(rest, travel * (1 - t)), Qt::AlignLeft | Qt::AlignVCenter,
                     text_.mid(stays.size()));
    painter.restore();
}

} // namespace bw::design
