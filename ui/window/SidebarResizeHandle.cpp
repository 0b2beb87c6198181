#include "ui/window/SidebarResizeHandle.h"

#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/window/SidebarWidth.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace bw::window {

namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind sidebarResizeHandleMotion = design::MotionKind::keeping();

constexpr double idleLineOpacity = 0.05;
constexpr double hoveredLineOpacity = 0.13;

// Whole points, the fraction dropped: 247.9 reads as 247. A width stored from outside beyond
// what a whole number holds reads as the nearest one that does.
qint64 wholePoints(double width) {
    constexpr double largest = 9.2e18; // just within a 64-bit integer
    return qint64(std::clamp(std::trunc(width), -largest, largest));
}

} // namespace

SidebarResizeHandle::SidebarResizeHandle(SidebarWidth* width, QWidget* parent)
    : QWidget(parent), width_(width) {
    setFixedWidth(hitWidth);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Sidebar width"));
    announce(width_->stored());
    connect(width_, &SidebarWidth::changed, this, &SidebarResizeHandle::announce);
    connect(&hover_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void SidebarResizeHandle::announce(double width) {
    setAccessibleDescription(QStringLiteral("%1 points").arg(wholePoints(width)));
}

// From a stored width outside the bounds, a step up applies only the upper bound and a step
// down only the lower one.
void SidebarResizeHandle::adjust(Adjustment direction) {
    const double width = width_->stored();
    width_->set(direction == Adjustment::increment ? std::min(width + step, SidebarWidth::maximum)
                                                   : std::max(width - step, SidebarWidth::minimum));
}

void SidebarResizeHandle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Bright while the pointer is over it or the keyboard adjusts it.
    const double lit = design::showsFocusRing(*this) ? 1.0 : hover_.value();
    const double opacity = idleLineOpacity + (hoveredLineOpacity - idleLineOpacity) * lit;
    QColor line(Qt::white);
    line.setAlphaF(float(opacity));
    painter.fillRect(QRectF((width() - 1) / 2.0, 0, 1, height()), line);
    // A brighter line alone is too faint to tell that the keyboard is on the handle.
    design::paintCapsuleFocusRing(painter, *this);
}

void SidebarResizeHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return QWidget::mousePressEvent(event);
    }
    dragOrigin_ = width_->stored();
    // Measured on the screen: the handle itself moves with the width it changes.
    dragStartX_ = event->globalPosition().x();
}

void SidebarResizeHandle::mouseMoveEvent(QMouseEvent* event) {
    if (!dragOrigin_) {
        return QWidget::mouseMoveEvent(event);
    }
    // Mirrored, the sidebar's trailing edge is its left one: a drag to the left widens it.
    const qreal moved = event->globalPosition().x() - dragStartX_;
    width_->set(std::clamp(*dragOrigin_ + (isRightToLeft() ? -moved : moved), SidebarWidth::minimum,
                           SidebarWidth::maximum));
}

void SidebarResizeHandle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragOrigin_.reset();
    }
    QWidget::mouseReleaseEvent(event);
}

void SidebarResizeHandle::keyPressEvent(QKeyEvent* event) {
    // The arrow pointing away from the sidebar widens it: mirrored, the sidebar stands at the
    // right.
    const int widening = isRightToLeft() ? Qt::Key_Left : Qt::Key_Right;
    const int narrowing = isRightToLeft() ? Qt::Key_Right : Qt::Key_Left;
    if (event->key() == Qt::Key_Up || event->key() == widening) {
        return adjust(Adjustment::increment);
    }
    if (event->key() == Qt::Key_Down || event->key() == narrowing) {
        return adjust(Adjustment::decrement);
    }
    QWidget::keyPressEvent(event);
}

void SidebarResizeHandle::enterEvent(QEnterEvent*) {
    setHovering(true);
}

void SidebarResizeHandle::leaveEvent(QEvent*) {
    setHovering(false);
}

void SidebarResizeHandle::setHovering(bool hovering) {
    // The hover brightening plays also under reduce motion: it is a fade, not a movement.
    hover_.animateTo(hovering ? 1.0 : 0.0, sidebarResizeHandleMotion.easeOut(0.12));
}

} // namespace bw::window
