#include "ui/design/TextBlock.h"

#include "ui/design/Leading.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace bw::design {

namespace {

int lineLimit(TextBlock::Lines lines) {
    switch (lines) {
    case TextBlock::Lines::two:
        return 2;
    case TextBlock::Lines::asNeeded:
        break;
    }
    return std::numeric_limits<int>::max();
}

} // namespace

QStringList breakLines(const QString& text, const QFont& font, qreal width, int limit) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (int(lines.size()) + 1 == limit) {
            const QString rest = text.mid(line.textStart()).simplified();
            lines << QFontMetricsF(font).elidedText(rest, Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

TextBlock::TextBlock(Lines lines, const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), lines_(lines), font_(font), color_(color) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
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

QStringList TextBlock::linesAt(int width) const {
    return breakLines(text_, font_, width, lineLimit(lines_));
}

// Wrapped text held to a maximum width asks for its widest line there, not for the whole width.
QSize TextBlock::sizeHint() const {
    const QFontMetricsF metrics(font_);
    qreal width = metrics.horizontalAdvance(text_);
    if (width > maximumWidth()) {
        width = 0;
        for (const QString& line : linesAt(maximumWidth())) {
            width = std::max(width, metrics.horizontalAdvance(line));
        }
    }
    return QSizeF(std::ceil(width) + 1, metrics.height()).toSize();
}

QSize TextBlock::minimumSizeHint() const {
    return {1, int(std::ceil(QFontMetricsF(font_).height()))};
}

int TextBlock::heightForWidth(int width) const {
    const auto count = std::max<qsizetype>(1, linesAt(width).size());
    return int(std::ceil(count * QFontMetricsF(font_).lineSpacing()));
}

void TextBlock::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(color_);
    painter.setFont(font_);
    const QFontMetricsF metrics(font_);
    const QStringList lines = linesAt(width());
    qreal top = 0;
    for (const QString& line : lines) {
        // Each line starts at the leading edge, the right one when mirrored.
        const QRectF placed = leading(*this, QRectF(0, top, metrics.horizontalAdvance(line), 1));
        design::drawText(painter, QPointF(placed.left(), top + metrics.ascent()), line);
        top += metrics.lineSpacing();
    }
}

} // namespace bw::design
