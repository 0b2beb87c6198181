#include "ui/report/ReportHistoryAppIcon.h"

#include "model/ReportHelpers.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace bw::report {

namespace palette = design::palette;

ReportHistoryAppIcon::ReportHistoryAppIcon(const BuildMetadata& metadata, int size, QWidget* parent)
    : QWidget(parent), icon_(decode(metadata)), appName_(metadata.appName) {
    // Room for the shadow below the tile.
    setFixedSize(size, size + 3);
}

QPixmap ReportHistoryAppIcon::decode(const BuildMetadata& metadata) {
    QPixmap icon;
    if (metadata.iconPNG) {
        icon.loadFromData(*metadata.iconPNG);
    }
    return icon;
}

void ReportHistoryAppIcon::paint(QPainter& painter, const QRectF& rect, const QPixmap& icon,
                                 const QString& appName) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath tile = design::continuousRoundedRect(rect, rect.width() * 0.2237);
    painter.fillPath(tile.translated(0, 2), QColor(0, 0, 0, 26));
    painter.setClipPath(tile);
    if (icon.isNull()) {
        painter.fillRect(rect, palette::iconPlaceholder());
        painter.setPen(palette::textPrimary());
        painter.setFont(design::textStyleFont(design::TextStyle::monogram));
        painter.drawText(rect, Qt::AlignCenter, monogram(appName));
    } else {
        // Fill the tile, keeping the aspect ratio; the clip cuts the overflow.
        const QSizeF scaled =
            QSizeF(icon.size()).scaled(rect.size(), Qt::KeepAspectRatioByExpanding);
        QRectF target(QPointF(), scaled);
        target.moveCenter(rect.center());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(target, icon, QRectF(icon.rect()));
    }
    painter.restore();
}

void ReportHistoryAppIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QRectF(0, 0, width(), width()), icon_, appName_);
}

} // namespace bw::report
