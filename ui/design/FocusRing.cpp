#include "ui/design/FocusRing.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace bw::design {
namespace {

constexpr FocusRingStyle style;

void strokeRing(QPainter& painter, const QPainterPath& ring) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(ring, QPen(palette::focusRing(), style.width));
    painter.restore();
}

QRectF ringBounds(const QRect& area) {
    return QRectF(area).adjusted(style.inset, style.inset, -style.inset, -style.inset);
}

} // namespace

void paintFocusRing(QPainter& painter, const QWidget& widget, qreal cornerRadius) {
    paintFocusRing(painter, widget, cornerRadius, widget.rect());
}

void paintFocusRing(QPainter& painter, const QWidget& widget, qreal cornerRadius,
                    const QRect& area) {
    if (showsFocusRing(widget)) {
        strokeRing(painter, continuousRoundedRect(ringBounds(area), cornerRadius - style.inset));
    }
}

void paintCapsuleFocusRing(QPainter& painter, const QWidget& widget) {
    if (showsFocusRing(widget)) {
        strokeRing(painter, capsulePath(ringBounds(widget.rect())));
    }
}

QRectF fillInsideFocusRing(const QWidget& widget) {
    const qreal room = showsFocusRing(widget) ? 3 : 0;
    return QRectF(widget.rect()).adjusted(room, room, -room, -room);
}

} // namespace bw::design
