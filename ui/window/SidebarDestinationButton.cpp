#include "ui/window/SidebarDestinationButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::window {

namespace palette = design::palette;

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind sidebarDestinationButtonMotion = design::MotionKind::skipping();

constexpr double horizontalPadding = 11;
constexpr double spacing = 10;
constexpr double iconWidth = 18;
constexpr double planeFrameWidth = 22;
constexpr double planeFrameHeight = 18;
constexpr int rowMinimumHeight = 40;

QString symbolName(AppSection section) {
    switch (section) {
    case AppSection::scan:
        return {};
    case AppSection::recents:
        return QStringLiteral("clock");
    case AppSection::guidelines:
        return QStringLiteral("book.pages");
    case AppSection::settings:
        return QStringLiteral("gearshape");
    }
    return {};
}

} // namespace

SidebarPlaneIcon::SidebarPlaneIcon(QWidget* owner) {
    for (design::AnimatedValue* value :
         {&trailScale_, &trailOpacity_, &offsetX_, &offsetY_, &rotation_}) {
        QObject::connect(value, &design::AnimatedValue::valueChanged, owner,
                         qOverload<>(&QWidget::update));
    }
}

void SidebarPlaneIcon::setState(bool isSelected, bool isDropTargeted, bool isHovering) {
    isSelected_ = isSelected;
    isDropTargeted_ = isDropTargeted;
    isHovering_ = isHovering;
    const bool isRaised = isSelected || isDropTargeted;
    const double scale = isRaised ? 1 : isHovering ? 0.38 : 0.18;
    const double opacity = isRaised ? 0.92 : isHovering ? 0.42 : 0;
    QPointF offset;
    if (isDropTargeted) {
        offset = {2, -3};
    } else if (isSelected) {
        offset = {2, -1.5};
    } else if (isHovering) {
        offset = {1, 0};
    }
    const design::Motion motion =
        sidebarDestinationButtonMotion.spring(isDropTargeted ? 0.3 : 0.22);
    trailScale_.animateTo(scale, motion);
    trailOpacity_.animateTo(opacity, motion);
    offsetX_.animateTo(offset.x(), motion);
    offsetY_.animateTo(offset.y(), motion);
    rotation_.animateTo(isDropTargeted ? -3 : 0, motion);
}

void SidebarPlaneIcon::paint(QPainter& painter, QPointF origin) const {
    const double middle = origin.y() + planeFrameHeight / 2;
    if (trailOpacity_.value() > 0) {
        QColor trail = isDropTargeted_ ? palette::accent() : palette::textSecondary();
        trail = palette::withOpacity(trail, trailOpacity_.value());
        const QRectF capsule(origin.x(), middle - 0.75 + 6, 19 * trailScale_.value(), 1.5);
        painter.fillPath(design::capsulePath(capsule), trail);
    }
    const bool isBright = isSelected_ || isDropTargeted_ || isHovering_;
    const QRectF plane(origin.x() + offsetX_.value(), middle - 3.5 + offsetY_.value(), 20, 7);
    design::paintPlane(painter, plane, isBright ? palette::textPrimary() : palette::textSecondary(),
                       rotation_.value());
}

SidebarDestinationButton::SidebarDestinationButton(AppSection section, QWidget* parent)
    : SidebarRowButton(parent), section_(section), plane_(this) {
    setAccessibleName(title(section));
    connect(this, &QAbstractButton::toggled, this, &SidebarDestinationButton::updatePlane);
    connect(this, &SidebarRowButton::hoverShownChanged, this,
            &SidebarDestinationButton::updatePlane);
}

QString SidebarDestinationButton::title(AppSection section) {
    switch (section) {
    case AppSection::scan:
        return QStringLiteral("Scan");
    case AppSection::recents:
        return QStringLiteral("Reports");
    case AppSection::guidelines:
        return QStringLiteral("Guidelines");
    case AppSection::settings:
        return QStringLiteral("Settings");
    }
    return {};
}

void SidebarDestinationButton::setDropTargeted(bool targeted) {
    if (targeted == isDropTargeted_) {
        return;
    }
    isDropTargeted_ = targeted;
    updatePlane();
}

void SidebarDestinationButton::updatePlane() {
    if (section_ == AppSection::scan) {
        plane_.setState(isSelected(), isDropTargeted_, showsHover());
    }
    update();
}

QSize SidebarDestinationButton::sizeHint() const {
    const QFont font = design::textStyleFont(design::TextStyle::sidebarItemSelected);
    const int text = QFontMetrics(font).horizontalAdvance(title(section_));
    return {int(horizontalPadding * 2 + planeFrameWidth + spacing + text + 6), rowMinimumHeight};
}

QSize SidebarDestinationButton::minimumSizeHint() const {
    return {0, rowMinimumHeight};
}

void SidebarDestinationButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackground(painter);
    const double middle = height() / 2.0;
    double x = horizontalPadding;
    if (section_ == AppSection::scan) {
        const QRectF frame = design::leading(
            *this, QRectF(x, middle - planeFrameHeight / 2, planeFrameWidth, planeFrameHeight));
        painter.save();
        design::faceForward(painter, *this, frame.center().x());
        plane_.paint(painter, frame.topLeft());
        painter.restore();
        x += planeFrameWidth;
    } else {
        design::paintSymbol(
            painter,
            design::leading(*this, QRectF(x, middle - iconWidth / 2, iconWidth, iconWidth)),
            symbolName(section_), design::TextStyle::medium14, foreground());
        x += iconWidth;
    }
    x += spacing;
    painter.setFont(design::textStyleFont(isSelected() ? design::TextStyle::sidebarItemSelected
                                                       : design::TextStyle::sidebarItem));
    painter.setPen(foreground());
    const QRectF textArea(x, 0, width() - x - horizontalPadding, height());
    design::drawText(
        painter, design::leading(*this, textArea), Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(title(section_), Qt::ElideRight, int(textArea.width())));
}

} // namespace bw::window
