#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"

#include <QPainter>
#include <QVariantAnimation>

namespace bw::design {

namespace {

// Every motion of this kind is skipped under reduce motion.
const MotionKind symbolWidgetMotion = MotionKind::skipping();

constexpr int replaceDurationMs = 180;

} // namespace

SymbolWidget::SymbolWidget(const QString& name, qreal pointSize, QFont::Weight weight,
                           QWidget* parent)
    : QWidget(parent), name_(name), pointSize_(pointSize), weight_(weight),
      color_(palette::textPrimary()), replace_(new QVariantAnimation(this)) {
    replace_->setStartValue(0.0);
    replace_->setEndValue(1.0);
    connect(replace_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        replaceProgress_ = value.toDouble();
        update();
    });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

SymbolWidget::SymbolWidget(const QString& name, TextStyle role, QWidget* parent)
    : SymbolWidget(name, textStyleMetrics(role).pixelSize, textStyleMetrics(role).weight, parent) {}

void SymbolWidget::setSymbol(const QString& name, Change change) {
    if (name == name_) {
        return;
    }
    previousName_ = name_;
    name_ = name;
    const Motion motion = change == Change::replace
                              ? symbolWidgetMotion.easeOut(replaceDurationMs / 1000.0)
                              : Motion::none();
    play(*replace_, motion);
    update();
}

void SymbolWidget::setPointSize(qreal pointSize) {
    pointSize_ = pointSize;
    updateGeometry();
    update();
}

void SymbolWidget::setWeight(QFont::Weight weight) {
    weight_ = weight;
    update();
}

void SymbolWidget::setColor(const QColor& color) {
    color_ = color;
    update();
}

void SymbolWidget::setRotation(qreal degrees) {
    rotation_ = degrees;
    update();
}

QSize SymbolWidget::sizeHint() const {
    return symbolSize(pointSize_).toSize();
}

void SymbolWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF box = rect();
    painter.translate(box.center());
    painter.rotate(rotation_);
    painter.translate(-box.center());
    // A replace fades the old glyph out while the new one grows in from a slightly smaller size.
    if (replaceProgress_ < 1 && !previousName_.isEmpty()) {
        painter.setOpacity(1 - replaceProgress_);
        paintSymbol(painter, box, previousName_, pointSize_, weight_, color_);
    }
    painter.setOpacity(replaceProgress_);
    const qreal scale = 0.8 + 0.2 * replaceProgress_;
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.translate(-box.center());
    paintSymbol(painter, box, name_, pointSize_, weight_, color_);
}

} // namespace bw::design
