#include "ui/workspace/IPhone16ProChassis.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>

namespace bw::workspace {

namespace {

// The frame artwork's own colours: a dark titanium body with a lighter rim.
constexpr QColor bodyColor{30, 30, 32};
constexpr QColor rimColor{74, 74, 78};
constexpr QColor lensColor{8, 20, 28};
constexpr qreal targetedBrightening = 0.035;

QColor brightened(QColor color, bool targeted) {
    if (!targeted) {
        return color;
    }
    const int lift = int(std::lround(255 * targetedBrightening));
    return QColor(std::min(255, color.red() + lift), std::min(255, color.green() + lift),
                  std::min(255, color.blue() + lift), color.alpha());
}

} // namespace

ChassisGeometry ChassisGeometry::forSize(QSizeF size) {
    const qreal w = size.width();
    const qreal h = size.height();
    ChassisGeometry geometry{};
    const QSizeF screen(w * 42 / 47, h * 39 / 41);
    geometry.screen = QRectF(QPointF((w - screen.width()) / 2, (h - screen.height()) / 2), screen);
    geometry.screenRadius = w * 15 / 94;
    const QSizeF island(0.31 * w, std::max(0.085 * w, 6.0));
    geometry.island = QRectF(QPointF((w - island.width()) / 2, 0.048 * h), island);
    const qreal lensFrame = std::max(0.024 * w, 2.0);
    const qreal lens = std::min(lensFrame, island.height());
    const qreal lensFrameLeft = geometry.island.right() - 0.045 * w - lensFrame;
    geometry.lens = QRectF(lensFrameLeft + (lensFrame - lens) / 2,
                           geometry.island.center().y() - lens / 2, lens, lens);
    const QSizeF indicator(0.34 * w, std::max(0.018 * w, 2.5));
    geometry.homeIndicator =
        QRectF(QPointF((w - indicator.width()) / 2, h - 0.052 * h - indicator.height()), indicator);
    return geometry;
}

// Everything drawn above the screen content; clicks pass through to the slot beneath.
class IPhone16ProChassis::Overlay : public QWidget {
public:
    explicit Overlay(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    bool targeted = false;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds(rect());
        const ChassisGeometry geometry = ChassisGeometry::forSize(bounds.size());
        paintFrame(painter, bounds, geometry);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        const qreal islandRadius = geometry.island.height() / 2;
        painter.drawRoundedRect(geometry.island, islandRadius, islandRadius);
        painter.setBrush(lensColor);
        painter.drawEllipse(geometry.lens);
        painter.setBrush(QColor(255, 255, 255, int(255 * 0.9)));
        const qreal indicatorRadius = geometry.homeIndicator.height() / 2;
        painter.drawRoundedRect(geometry.homeIndicator, indicatorRadius, indicatorRadius);
    }

private:
    // The body is opaque right up to the screen's rounded edge, which hides the content's
    // corners, so the content needs no clipping of its own.
    void paintFrame(QPainter& painter, const QRectF& bounds, const ChassisGeometry& geometry) {
        const qreal radius = ChassisGeometry::bodyRadiusForWidth(bounds.width());
        QPainterPath body;
        body.addRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        // The opening is a point smaller than the screen, so that the body also covers the
        // screen's pixel-stepped mask edge and nothing behind the phone shows through there.
        QPainterPath screen;
        screen.addRoundedRect(geometry.screen.adjusted(1, 1, -1, -1), geometry.screenRadius - 1,
                              geometry.screenRadius - 1);
        painter.fillPath(body.subtracted(screen), brightened(bodyColor, targeted));
        painter.setPen(QPen(brightened(rimColor, targeted), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(body);
    }
};

IPhone16ProChassis::IPhone16ProChassis(QWidget* content, QWidget* parent)
    : QWidget(parent), content_(content), overlay_(new Overlay(this)) {
    content_->setParent(this);
    overlay_->raise();
}

void IPhone16ProChassis::setTargeted(bool targeted) {
    overlay_->targeted = targeted;
    overlay_->update();
}

void IPhone16ProChassis::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const ChassisGeometry geometry = ChassisGeometry::forSize(size());
    content_->setGeometry(geometry.screen.toAlignedRect());
    // The screen's corners reach past the body's rounded outline, which cannot cover them there.
    QPainterPath screen;
    screen.addRoundedRect(QRectF(QPointF(), geometry.screen.size()), geometry.screenRadius,
                          geometry.screenRadius);
    content_->setMask(QRegion(screen.toFillPolygon().toPolygon()));
    overlay_->setGeometry(rect());
}

} // namespace bw::workspace
