#pragma once

#include "ui/design/TextStyle.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QWidget>
#include <optional>

class QPainter;

namespace bw::design {

// Where one app icon tile differs from another: its placeholder (shown without a usable image)
// and what surrounds the tile. An invalid colour leaves its part out.
struct AppIconTileStyle {
    QColor placeholder;    // the placeholder's fill
    QColor placeholderEnd; // with it, the fill runs diagonally from `placeholder` to this
    TextStyle glyphRole = TextStyle::monogram;
    QColor glyph;  // the placeholder's letters
    QColor shadow; // the tile's shape again, `shadowOffset` points below it, blurred
    qreal shadowOffset = 0;
    qreal shadowRadius = 0; // a blur radius: the Gaussian's deviation is half of it
    QColor rim;             // stroked 0.6 points wide just inside the edge
};

// The app's icon in a square with continuous corners, filling it (a wide or tall image is
// cropped, never letter-boxed), or the placeholder with `glyph` when `icon` is null.
void paintAppIconTile(QPainter& painter, const QRectF& square, const QImage& icon,
                      const QString& glyph, const AppIconTileStyle& style);

// The icon bytes come from a scanned bundle or a saved report: read through the bounded image
// reader; null when absent or undecodable.
QImage decodeAppIcon(const std::optional<QByteArray>& bytes);

// The part of an image of `image` size that fills `target` with its aspect ratio kept, centred:
// what is drawn when a picture fills a frame and the overflow is cut off.
QRectF fillSource(QSizeF image, QSizeF target);

// A tile as a widget of `side` points; its shadow spills over what lies around it.
class AppIconTile : public QWidget {
public:
    AppIconTile(const AppIconTileStyle& style, int side, QWidget* parent = nullptr);

    void setIcon(const QImage& icon, const QString& glyph);
    bool showsImage() const { return !icon_.isNull(); }
    QString glyph() const { return glyph_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppIconTileStyle style_;
    int side_;
    QImage icon_;
    QString glyph_;
};

} // namespace bw::design
