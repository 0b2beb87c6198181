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

QRectF ringBounds(const QWidget& widget) {
    return QRectF(widget.rect()).adjusted(style.inset, style.inset, -style.inset, -style.inset);
}

} // namespace

void paintFocusRing(QPainter& painter, const QWidget& widget, qreal cornerRadius) {
    if (showsFocusRing(widget)) {
        strokeRing(painter, continuousRoundedRect(ringBounds(widget), cornerRadius - style.inset));
    }
}

void paintCapsuleFocusRing(QPainter& painter, const QWidget& widget) {
    if (showsFocusRing(widget)) {
        strokeRing(painter, capsulePath(ringBounds(widget)));
    }
}

} // namespace bw::design
