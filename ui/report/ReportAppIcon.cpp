#include "ui/report/ReportAppIcon.h"

#include "model/ReportHelpers.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QGraphicsDropShadowEffect>
#include <QPainter>

namespace bw {

namespace palette = design::palette;

ReportAppIcon::ReportAppIcon(const BuildMetadata& metadata, int size, QWidget* parent)
    : QWidget(parent), size_(size) {
    setFixedSize(size, size);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(palette::withOpacity(Qt::black, 0.12));
    shadow->setBlurRadius(18);
    shadow->setOffset(0, 4);
    setGraphicsEffect(shadow);
    setMetadata(metadata);
}

void ReportAppIcon::setMetadata(const BuildMetadata& metadata) {
    appName_ = metadata.appName;
    image_ = metadata.iconPNG ? QImage::fromData(*metadata.iconPNG) : QImage();
    setAccessibleName(appName_ + QStringLiteral(" app icon"));
    update();
}

QString ReportAppIcon::initial() const {
    return monogram(appName_);
}

void ReportAppIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF square(0, 0, size_, size_);
    painter.setClipPath(design::continuousRoundedRect(square, size_ * 0.2237));
    if (!image_.isNull()) {
        // Fills the square; a wide or tall image is cropped, never letter-boxed.
        const QSizeF scaled =
            QSizeF(image_.size()).scaled(square.size(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(square.center().x() - scaled.width() / 2,
                            square.center().y() - scaled.height() / 2, scaled.width(),
                            scaled.height());
        painter.drawImage(target, image_);
        return;
    }
    QLinearGradient gradient(square.topLeft(), square.bottomRight());
    gradient.setColorAt(0, palette::iconPlaceholder());
    gradient.setColorAt(1, palette::iconBackdrop());
    painter.fillRect(square, gradient);
    painter.setFont(design::textStyleFont(design::TextStyle::sectionTitle));
    painter.setPen(palette::iconGlyph());
    painter.drawText(square, Qt::AlignCenter, initial());
}

} // namespace bw
