#include "ui/workspace/StagedAppIcon.h"

#include "ui/design/AppIconTile.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/AppInitials.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace bw::workspace {

namespace {

constexpr qreal spinnerDiameter = 16;

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
        image_ = design::decodeAppIcon(data);
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
    if (showsSpinner()) {
        paintSpinner(painter, square);
        return;
    }
    design::AppIconTileStyle style;
    style.glyph = design::palette::textSecondary();
    design::paintAppIconTile(painter, square, image_, initials(), style);
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
