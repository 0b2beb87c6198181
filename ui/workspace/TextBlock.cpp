#include "ui/workspace/TextBlock.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace bw::workspace {

namespace {

// Lays `text` out in lines of `width`, from the top; returns the height taken.
qreal layOut(QTextLayout& layout, qreal width) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition({0, y});
        y += line.height();
    }
    layout.endLayout();
    return y;
}

} // namespace

TextBlock::TextBlock(Lines lines, const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), lines_(lines), font_(font), color_(color) {
    QSizePolicy policy(QSizePolicy::Preferred,
                       lines == Lines::one ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    policy.setHeightForWidth(lines == Lines::asNeeded);
    setSizePolicy(policy);
}

void TextBlock::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void TextBlock::setColor(const QColor& color) {
    color_ = color;
    update();
}

QSize TextBlock::sizeHint() const {
    const QFontMetricsF metrics(font_);
    return QSizeF(metrics.horizontalAdvance(text_) + 1, metrics.height()).toSize();
}

QSize TextBlock::minimumSizeHint() const {
    return {1, int(std::ceil(QFontMetricsF(font_).height()))};
}

int TextBlock::heightForWidth(int width) const {
    QTextLayout layout(text_, font_);
    return int(std::ceil(layOut(layout, width)));
}

void TextBlock::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(color_);
    painter.setFont(font_);
    if (lines_ == Lines::one) {
        const QString shown = QFontMetricsF(font_).elidedText(text_, Qt::ElideRight, width());
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
        return;
    }
    QTextLayout layout(text_, font_);
    layOut(layout, width());
    layout.draw(&painter, {0, 0});
}

} // namespace bw::workspace
