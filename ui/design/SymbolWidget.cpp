#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"

#include <QPainter>
#include <QVariantAnimation>

namespace bw::design {

namespace {

constexpr int replaceDurationMs = 180;

} // namespace

SymbolWidget::SymbolWidget(const QString& name, qreal pointSize, QFont::Weight weight,
                           QWidget* parent)
    : QWidget(parent), m_name(name), m_pointSize(pointSize), m_weight(weight),
      m_color(palette::textPrimary()), m_replace(new QVariantAnimation(this)) {
    m_replace->setStartValue(0.0);
    m_replace->setEndValue(1.0);
    connect(m_replace, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_replaceProgress = value.toDouble();
        update();
    });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolWidget::setSymbol(const QString& name, Change change) {
    if (name == m_name) {
        return;
    }
    m_previousName = m_name;
    m_name = name;
    const Motion motion =
        change == Change::replace
            ? Motion::easeOut(replaceDurationMs / 1000.0).skippedUnderReduceMotion()
            : Motion::none();
    play(*m_replace, motion);
    update();
}

void SymbolWidget::setPointSize(qreal pointSize) {
    m_pointSize = pointSize;
    updateGeometry();
    update();
}

void SymbolWidget::setWeight(QFont::Weight weight) {
    m_weight = weight;
    update();
}

void SymbolWidget::setColor(const QColor& color) {
    m_color = color;
    update();
}

void SymbolWidget::setRotation(qreal degrees) {
    m_rotation = degrees;
    update();
}

QSize SymbolWidget::sizeHint() const {
    return symbolSize(m_pointSize).toSize();
}

void SymbolWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF box = rect();
    painter.translate(box.center());
    painter.rotate(m_rotation);
    painter.translate(-box.center());
    // A replace fades the old glyph out while the new one grows in from a slightly smaller size.
    if (m_replaceProgress < 1 && !m_previousName.isEmpty()) {
        painter.setOpacity(1 - m_replaceProgress);
        paintSymbol(painter, box, m_previousName, m_pointSize, m_weight, m_color);
    }
    painter.setOpacity(m_replaceProgress);
    const qreal scale = 0.8 + 0.2 * m_replaceProgress;
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.translate(-box.center());
    paintSymbol(painter, box, m_name, m_pointSize, m_weight, m_color);
}

} // namespace bw::design
