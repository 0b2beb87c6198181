#include "ui/design/Popover.h"

#include "ui/design/Accessibility.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Compositor.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTransform>
#include <QVBoxLayout>
#include <algorithm>

namespace bw::design {

namespace {

constexpr int separatorInset = 5;

class Separator : public QWidget {
public:
    Separator(qreal thickness, QWidget* parent) : QWidget(parent), thickness_(thickness) {
        setFixedHeight(1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRectF(separatorInset, 0, width() - 2 * separatorInset, thickness_),
                         palette::menuSeparator());
    }

private:
    qreal thickness_;
};

} // namespace

Popover::Popover(const PopoverStyle& style, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      style_(style), arrowY_(int(style.cornerRadius) + style.arrowHalfWidth) {
    // Announced as the menu it is, so that a screen reader names it with its lit entry.
    presentAs(*this, QAccessible::PopupMenu);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedWidth(style.arrowDepth + style.width);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(0);
    placeArrow(false);
}

QVBoxLayout* Popover::column() const {
    return static_cast<QVBoxLayout*>(layout());
}

MenuEntry* Popover::addEntry(const QString& title, const QString& systemImage, bool isDestructive,
                             std::function<void()> chosen) {
    auto* entry =
        new MenuEntry(title, systemImage, isDestructive, style_.width - 2 * style_.padding, this);
    connect(entry, &QAbstractButton::clicked, this, [this, chosen = std::move(chosen)] {
        closeToAnchor();
        chosen();
    });
    column()->addWidget(entry);
    return entry;
}

void Popover::addSeparator() {
    column()->addSpacing(separatorInset);
    column()->addWidget(new Separator(style_.separatorThickness, this));
    column()->addSpacing(separatorInset);
}

void Popover::placeArrow(bool onTrailingEdge) {
    arrowOnTrailingEdge_ = onTrailingEdge;
    const int arrowSide = style_.arrowDepth + style_.padding;
    column()->setContentsMargins(
        leadingMargins(*this, {onTrailingEdge ? style_.padding : arrowSide, style_.padding,
                               onTrailingEdge ? arrowSide : style_.padding, style_.padding}));
}

void Popover::popUpBeside(const QRect& anchor) {
    adjustSize();
    const int middle = anchor.top() + anchor.height() / 2;
    // The arrow's tip, or the bubble's edge, keeps this gap to the anchor.
    const int gap = style_.arrowDepth ? 3 : 4;
    const int trailing = isRightToLeft() ? anchor.left() - width() - gap : anchor.right() + gap;
    const int leading = isRightToLeft() ? anchor.right() + gap : anchor.left() - width() - gap;
    QPoint place(trailing,
                 style_.arrowDepth ? anchor.top() - style_.padding : middle - height() / 2);
    if (const QScreen* screen = QGuiApplication::screenAt(anchor.center())) {
        const QRect area = screen->availableGeometry();
        const bool flip =
            isRightToLeft() ? place.x() < area.left() : place.x() + width() > area.right();
        if (flip) {
            place.setX(leading);
        }
        placeArrow(flip && style_.arrowDepth);
        place.setY(
            std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    if (style_.arrowDepth) {
        const int room = int(style_.cornerRadius) + style_.arrowHalfWidth;
        arrowY_ = std::clamp(middle - place.y(), room, std::max(room, height() - room));
    }
    // Where the desktop composites, the window is clear around the bubble and its edges are
    // smooth; where it does not, clear pixels would show black squares at the corners, so the
    // window itself takes the bubble's shape.
    const bool composites = desktopComposites();
    setAttribute(Qt::WA_TranslucentBackground, composites);
    if (composites) {
        clearMask();
    } else {
        setMask(QRegion(outline().toFillPolygon().toPolygon()));
    }
    move(place);
    takeBackdrop();
    QWidget* focused = QApplication::focusWidget();
    opener_ =
        focused && parentWidget() && parentWidget()->isAncestorOf(focused) ? focused : nullptr;
    show();
    // The keyboard starts on the first entry, lit when the popover was opened from the keyboard.
    for (auto* entry : findChildren<MenuEntry*>()) {
        if (entry->isEnabled()) {
            entry->setFocus(Qt::PopupFocusReason);
            break;
        }
    }
}

QPainterPath Popover::outline() const {
    const QRectF bubble = QRectF(style_.arrowDepth, 0, width() - style_.arrowDepth, height())
                              .adjusted(style_.borderInset, style_.borderInset, -style_.borderInset,
                                        -style_.borderInset);
    QPainterPath shape = continuousRoundedRect(bubble, style_.cornerRadius);
    if (style_.arrowDepth) {
        QPainterPath arrow;
        arrow.moveTo(0, arrowY_);
        arrow.lineTo(style_.arrowDepth + 1, arrowY_ - style_.arrowHalfWidth);
        arrow.lineTo(style_.arrowDepth + 1, arrowY_ + style_.arrowHalfWidth);
        arrow.closeSubpath();
        shape = shape.united(arrow);
    }
    // Drawn for an arrow on the left; on the right it is the mirror image.
    return arrowOnTrailingEdge_ != isRightToLeft() ? QTransform(-1, 0, 0, 1, width(), 0).map(shape)
                                                   : shape;
}

void Popover::takeBackdrop() {
    // A thin material over the window: what lies under the popover, blurred. A popup cannot see
    // through to the window on every desktop, so it draws the window's own picture of that place;
    // where it reaches past the window, the canvas stands in for it.
    QWidget* window = parentWidget() ? parentWidget()->window() : nullptr;
    if (!style_.seesThrough || !window || MotionPreferences::instance().reduceTransparency()) {
        return;
    }
    const QRect under(window->mapFromGlobal(pos()), size());
    QImage sharp(size(), QImage::Format_RGB32);
    sharp.fill(palette::canvas());
    QPainter(&sharp).drawPixmap(window->rect().intersected(under).topLeft() - under.topLeft(),
                                window->grab(window->rect().intersected(under)));
    constexpr int blur = 12;
    backdrop_ = sharp.scaled(sharp.size() / blur, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void Popover::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        closeToAnchor();
        return;
    case Qt::Key_Down:
        focusNextChild();
        return;
    case Qt::Key_Up:
        focusPreviousChild();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void Popover::closeToAnchor() {
    close();
    if (opener_ && isTabStop(*opener_)) {
        focusAfterKeyboardAction(*opener_);
    } else if (QWidget* anchor = parentWidget()) {
        focusAfterKeyboardAction(*anchor);
    }
}

void Popover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = outline();
    painter.save();
    painter.setClipPath(shape);
    if (backdrop_.isNull()) {
        painter.fillRect(rect(), palette::menuSurface());
    } else {
        painter.drawImage(QPointF(0, 0), backdrop_);
        painter.fillRect(rect(), palette::withOpacity(palette::menuSurface(), 0.64));
    }
    painter.restore();
    painter.strokePath(shape, QPen(style_.border, 1));
}

} // namespace bw::design
