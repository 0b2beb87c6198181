#include "ui/design/AppIconTile.h"

#include "platform/image/ImageDecoding.h"
#include "ui/design/BrandShapes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace bw::design {

namespace {

// The corner of an app icon, as a fraction of its side.
constexpr qreal cornerRatio = 0.2237;
constexpr qreal rimWidth = 0.6;

} // namespace

void paintAppIconTile(QPainter& painter, const QRectF& square, const QImage& icon,
                      const QString& glyph, const AppIconTileStyle& style) {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QPainterPath tile = continuousRoundedRect(square, square.width() * cornerRatio);
    if (style.shadow.isValid()) {
        painter.fillPath(tile.translated(0, style.shadowOffset), style.shadow);
    }
    painter.save();
    painter.setClipPath(tile);
    if (!icon.isNull()) {
        painter.drawImage(square, icon, fillSource(icon.size(), square.size()));
    } else {
        if (style.placeholderEnd.isValid()) {
            QLinearGradient gradient(square.topLeft(), square.bottomRight());
            gradient.setColorAt(0, style.placeholder);
            gradient.setColorAt(1, style.placeholderEnd);
            painter.fillRect(square, gradient);
        } else if (style.placeholder.isValid()) {
            painter.fillRect(square, style.placeholder);
        }
        painter.setFont(textStyleFont(style.glyphRole));
        painter.setPen(style.glyph);
        painter.drawText(square, Qt::AlignCenter, glyph);
    }
    painter.restore();
    if (style.rim.isValid()) {
        const qreal inset = rimWidth / 2;
        painter.strokePath(continuousRoundedRect(square.adjusted(inset, inset, -inset, -inset),
                                                 square.width() * cornerRatio),
                           QPen(style.rim, rimWidth));
    }
    painter.restore();
}

QImage decodeAppIcon(const std::optional<QByteArray>& bytes) {
    if (!bytes) {
        return {};
    }
    return image::decodeLargestImage(*bytes).value_or(QImage());
}

QRectF fillSource(QSizeF image, QSizeF target) {
    const qreal scale = std::max(target.width() / image.width(), target.height() / image.height());
    const QSizeF shown(target.width() / scale, target.height() / scale);
    return {QPointF((image.width() - shown.width()) / 2, (image.height() - shown.height()) / 2),
            shown};
}

AppIconTile::AppIconTile(const AppIconTileStyle& style, int side, QWidget* parent)
    : QWidget(parent), style_(style), side_(side) {
    // The shadow's antialiased edge takes a point more.
    setFixedSize(side,
                 style.shadow.isValid() ? side + int(std::ceil(style.shadowOffset)) + 1 : side);
}

void AppIconTile::setIcon(const QImage& icon, const QString& glyph) {
    icon_ = icon;
    glyph_ = glyph;
    update();
}

void AppIconTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintAppIconTile(painter, QRectF(0, 0, side_, side_), icon_, glyph_, style_);
}

} // namespace bw::design
