#include "ui/workspace/StagedAppIcon.h"

#include "platform/image/ImageDecoding.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/AppInitials.h"
#include "ui/workspace/FillSource.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace bw::workspace {

namespace {

constexpr qreal cornerRatio = 0.2237;
constexpr qreal spinnerDiameter = 16;

// The icon bytes come from an untrusted bundle: decode through the bounded image reader.
QImage decodeIcon(const std::optional<QByteArray>& data) {
    if (!data) {
        return {};
    }
    return image::decodeLargestImage(*data).value_or(QImage());
}

} // namespace

StagedAppIcon::StagedAppIcon(QWidget* parent)
    : QWidget(parent), spin_(new QVariantAnimation(this)) {
    spin_->setStartValue(0.0);
    spin_->setEndValue(360.0);
    spin_->setDuration(900);
    spin_->setLoopCount(-1);
    connect(spin_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    setFixedSize(sizeHint());
}

void StagedAppIcon::setIcon(const std::optional<QByteArray>& data, const QString& name,
                            bool isLoading) {
    if (data != data_) {
        data_ = data;
        image_ = decodeIcon(data);
    }
    name_ = name;
    isLoading_ = isLoading;
    setAccessibleName(name);
    if (showsSpinner()) {
        spin_->start();
    } else {
        spin_->stop();
    }
    update();
}

void StagedAppIcon::setSide(int side) {
    side_ = side;
    setFixedSize(sizeHint());
}

QString StagedAppIcon::initials() const {
    return appInitials(name_);
}

void StagedAppIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF square(0, 0, side_, side_);
    QPainterPath clip;
    clip.addRoundedRect(square, side_ * cornerRatio, side_ * cornerRatio);
    painter.setClipPath(clip);
    if (showsImage()) {
        painter.drawImage(square, image_, fillSource(image_.size(), square.size()));
    } else if (showsSpinner()) {
        paintSpinner(painter, square);
    } else {
        painter.setFont(design::textStyleFont(design::TextStyle::monogram));
        painter.setPen(design::palette::textSecondary());
        painter.drawText(square, Qt::AlignCenter, initials());
    }
}

void StagedAppIcon::paintSpinner(QPainter& painter, const QRectF& square) const {
    const QRectF circle(square.center() - QPointF(spinnerDiameter, spinnerDiameter) / 2,
                        QSizeF(spinnerDiameter, spinnerDiameter));
    QPen pen(design::palette::textSecondary(), 2);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const int start = int(-spin_->currentValue().toDouble() * 16);
    painter.drawArc(circle.adjusted(1, 1, -1, -1), start, 270 * 16);
}

} // namespace bw::workspace
