#include "ui/design/Leading.h"

#include <QPainter>
#include <QStyle>
#include <QWidget>

namespace bw::design {

namespace {

// Qt reads a painted text in the painter's direction, so a mirrored painter would read a Latin
// text from its right; the automatic direction reads each text in its own.
// The direction of the widget painted on, which `leading` mirrors by: a painter a widget renders
// into a picture of its own starts in the application's direction, not the widget's.
Qt::LayoutDirection directionOf(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (device && device->devType() == QInternal::Widget) {
        return static_cast<const QWidget*>(device)->layoutDirection();
    }
    return painter.layoutDirection();
}

class OwnReadingOrder {
public:
    explicit OwnReadingOrder(QPainter& painter)
        : painter_(painter), direction_(directionOf(painter)) {
        painter_.setLayoutDirection(Qt::LayoutDirectionAuto);
    }
    ~OwnReadingOrder() { painter_.setLayoutDirection(direction_); }
    Qt::LayoutDirection direction() const { return direction_; }

private:
    QPainter& painter_;
    Qt::LayoutDirection direction_;
};

} // namespace

QRectF leading(const QWidget& widget, const QRectF& rect) {
    if (!widget.isRightToLeft()) {
        return rect;
    }
    return {widget.width() - rect.right(), rect.top(), rect.width(), rect.height()};
}

QRect leading(const QWidget& widget, const QRect& rect) {
    return QStyle::visualRect(widget.layoutDirection(), widget.rect(), rect);
}

QMargins leadingMargins(const QWidget& widget, const QMargins& margins) {
    if (!widget.isRightToLeft()) {
        return margins;
    }
    return {margins.right(), margins.top(), margins.left(), margins.bottom()};
}

qreal leadingX(const QWidget& widget, qreal x) {
    return widget.isRightToLeft() ? widget.width() - x : x;
}

void faceForward(QPainter& painter, const QWidget& widget, qreal x) {
    if (widget.isRightToLeft()) {
        painter.translate(x, 0);
        painter.scale(-1, 1);
        painter.translate(-x, 0);
    }
}

void drawText(QPainter& painter, const QRectF& rect, int flags, const QString& text, QRectF* used) {
    const OwnReadingOrder order(painter);
    painter.drawText(rect, int(QStyle::visualAlignment(order.direction(), Qt::Alignment(flags))),
                     text, used);
}

void drawText(QPainter& painter, const QPointF& origin, const QString& text) {
    const OwnReadingOrder order(painter);
    painter.drawText(origin, text);
}

} // namespace bw::design
