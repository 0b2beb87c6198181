#include "ui/design/AppIconTile.h"

#include "platform/image/ImageDecoding.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"

#include <QGraphicsEffect>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace bw::design {

namespace {

// The corner of an app icon, as a fraction of its side.
constexpr qreal cornerRatio = 0.2237;
constexpr qreal rimWidth = 0.6;

// How far a blur of `radius` spreads past the shape: three deviations.
qreal blurReach(qreal radius) {
    return std::ceil(1.5 * radius);
}

// `source` blurred with a Gaussian of `deviation` pixels, once along its rows and once along its
// columns; past its edges it is clear.
QImage gaussianBlurred(const QImage& source, qreal deviation) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (deviation <= 0) {
        return image;
    }
    const int reach = int(std::ceil(3 * deviation));
    std::vector<double> kernel(std::size_t(2 * reach + 1));
    double sum = 0;
    for (int i = -reach; i <= reach; ++i) {
        sum += kernel[std::size_t(i + reach)] = std::exp(-i * i / (2 * deviation * deviation));
    }
    for (double& weight : kernel) {
        weight /= sum;
    }
    for (const bool alongColumns : {false, true}) {
        const QImage from = image.copy();
        const int length = alongColumns ? image.height() : image.width();
        const int lines = alongColumns ? image.width() : image.height();
        for (int line = 0; line < lines; ++line) {
            for (int at = 0; at < length; ++at) {
                double channels[4] = {};
                for (int i = std::max(-reach, -at); i <= std::min(reach, length - 1 - at); ++i) {
                    const int x = alongColumns ? line : at + i;
                    const int y = alongColumns ? at + i : line;
                    const QRgb pixel = reinterpret_cast<const QRgb*>(from.constScanLine(y))[x];
                    const double weight = kernel[std::size_t(i + reach)];
                    channels[0] += weight * qRed(pixel);
                    channels[1] += weight * qGreen(pixel);
                    channels[2] += weight * qBlue(pixel);
                    channels[3] += weight * qAlpha(pixel);
                }
                const int x = alongColumns ? line : at;
                const int y = alongColumns ? at : line;
                reinterpret_cast<QRgb*>(image.scanLine(y))[x] =
                    qRgba(qRound(channels[0]), qRound(channels[1]), qRound(channels[2]),
                          qRound(channels[3]));
            }
        }
    }
    return image;
}

// The blurred shadow of a tile of `side` whose top left corner is at (reach, reach). Kept once
// made: a list of reports draws the same one in every row.
const QImage& tileShadow(qreal side, const AppIconTileStyle& style, qreal pixelRatio) {
    using Key = std::tuple<qreal, qreal, qreal, QRgb>;
    static std::map<Key, QImage> made;
    const Key key{side, style.shadowRadius, pixelRatio, style.shadow.rgba()};
    if (const auto found = made.find(key); found != made.end()) {
        return found->second;
    }
    const qreal reach = blurReach(style.shadowRadius);
    const int extent = int(std::ceil((side + 2 * reach) * pixelRatio));
    QImage shape(extent, extent, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(pixelRatio, pixelRatio);
        painter.fillPath(
            continuousRoundedRect(QRectF(reach, reach, side, side), side * cornerRatio),
            style.shadow);
    }
    QImage shadow = gaussianBlurred(shape, style.shadowRadius / 2 * pixelRatio);
    shadow.setDevicePixelRatio(pixelRatio);
    return made.emplace(key, std::move(shadow)).first->second;
}

void paintShadow(QPainter& painter, const QRectF& square, const AppIconTileStyle& style) {
    const qreal pixelRatio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
    const QImage& shadow = tileShadow(square.width(), style, pixelRatio);
    const qreal reach = blurReach(style.shadowRadius);
    painter.drawImage(QPointF(square.left() - reach, square.top() - reach + style.shadowOffset),
                      shadow);
}

// Draws a tile widget's shadow around it, where the widget itself cannot paint.
class TileShadow : public QGraphicsEffect {
public:
    TileShadow(const AppIconTileStyle& style, qreal side, QObject* parent)
        : QGraphicsEffect(parent), style_(style), side_(side) {}

    QRectF boundingRectFor(const QRectF& rect) const override {
        const qreal reach = blurReach(style_.shadowRadius);
        return rect.united(
            QRectF(-reach, style_.shadowOffset - reach, side_ + 2 * reach, side_ + 2 * reach));
    }

protected:
    void draw(QPainter* painter) override {
        paintShadow(*painter, QRectF(0, 0, side_, side_), style_);
        drawSource(painter);
    }

private:
    AppIconTileStyle style_;
    qreal side_;
};

} // namespace

void paintAppIconTile(QPainter& painter, const QRectF& square, const QImage& icon,
                      const QString& glyph, const AppIconTileStyle& style) {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QPainterPath tile = continuousRoundedRect(square, square.width() * cornerRatio);
    if (style.shadow.isValid()) {
        paintShadow(painter, square, style);
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
        design::drawText(painter, square, Qt::AlignCenter, glyph);
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
    setFixedSize(side, side);
    if (style_.shadow.isValid()) {
        setGraphicsEffect(new TileShadow(style_, side, this));
        style_.shadow = QColor();
    }
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
