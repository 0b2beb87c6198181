#pragma once

#include <QtGlobal>

class QPainter;
class QRect;
class QRectF;
class QWidget;

namespace bw::design {

// The ring drawn around the control that has the keyboard, one pixel inside its outline.
struct FocusRingStyle {
    qreal width = 1.5;
    qreal inset = 1;
};

// Strokes the ring inside `widget`'s rounded outline of `cornerRadius` while it has the focus
// from the keyboard (`showsFocusRing`).
void paintFocusRing(QPainter& painter, const QWidget& widget, qreal cornerRadius);
// The same inside `area` of the widget, for a widget whose outline is only part of it.
void paintFocusRing(QPainter& painter, const QWidget& widget, qreal cornerRadius,
                    const QRect& area);
// The same for a capsule-shaped widget.
void paintCapsuleFocusRing(QPainter& painter, const QWidget& widget);
// Where a filled control draws its fill: all of it, or drawn in from its edge while it shows the
// ring, so that the ring stands apart from a fill of the same colour.
QRectF fillInsideFocusRing(const QWidget& widget);

} // namespace bw::design
