#include "ui/workspace/MorphingTitle.h"

#include "ui/design/Leading.h"

#include <QFontMetricsF>
#include <QPainter>

namespace bw::workspace {

namespace {

// How small a text is at the far end of its morph.
constexpr qreal morphScale = 0.94;

} // namespace

MorphingTitle::MorphingTitle(const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), font_(font), color_(color) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(&morph_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void MorphingTitle::setText(const QString& text, const design::Motion& motion) {
    if (text == text_) {
        return;
    }
    previous_ = text_;
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    morph_.setValue(motion.isInstant() ? 1 : 0);
    morph_.animateTo(1, motion);
}

QSize MorphingTitle::sizeHint() const {
    const QFontMetricsF metrics(font_);
    return QSizeF(metrics.horizontalAdvance(text_) + 1, metrics.height()).toSize();
}

void MorphingTitle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font_);
    painter.setPen(color_);
    const double t = std::clamp(morph_.value(), 0.0, 1.0);
    if (t < 1) {
        paintText(painter, previous_, 1 - t);
    }
    paintText(painter, text_, t);
}

void MorphingTitle::paintText(QPainter& painter, const QString& text, double presence) {
    if (text.isEmpty() || presence <= 0) {
        return;
    }
    const QFontMetricsF metrics(font_);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, width());
    const qreal scale = morphScale + (1 - morphScale) * presence;
    painter.save();
    painter.setOpacity(presence);
    painter.translate(rect().center());
    painter.scale(scale, scale);
    const qreal advance = metrics.horizontalAdvance(shown);
    design::drawText(painter, QPointF(-advance / 2, -metrics.height() / 2 + metrics.ascent()),
                     shown);
    painter.restore();
}

} // namespace bw::workspace
