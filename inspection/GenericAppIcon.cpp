#include "inspection/GenericAppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace bw {

QImage genericAppIcon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 128.0, side / 128.0);

    // The tile.
    QLinearGradient tile(0, 8, 0, 120);
    tile.setColorAt(0, QColor(0x8e, 0x9b, 0xae));
    tile.setColorAt(1, QColor(0x4a, 0x55, 0x68));
    QPainterPath outline;
    outline.addRoundedRect(QRectF(8, 8, 112, 112), 26, 26);
    painter.fillPath(outline, tile);

    // A window with a title bar and three content lines.
    const QRectF window(28, 36, 72, 56);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(window, 8, 8);
    painter.setBrush(QColor(0x4a, 0x55, 0x68, 200));
    painter.drawRect(QRectF(window.left(), window.top() + 14, window.width(), 2));
    painter.setBrush(QColor(0x8e, 0x9b, 0xae));
    for (int line = 0; line < 3; ++line) {
        painter.drawRoundedRect(QRectF(38, 60 + line * 9, line == 2 ? 32 : 52, 4), 2, 2);
    }
    return image;
}

} // namespace bw
