#include "ui/design/Labels.h"

#include "ui/design/Leading.h"

#include <QLabel>
#include <QPainter>

namespace bw::design {

QLabel* makeLabel(const QString& text, TextStyle style, const QColor& color, Wrap wrap,
                  QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    applyTextStyle(label, style);
    setTextColor(label, color);
    label->setWordWrap(wrap == Wrap::lines);
    return label;
}

QLabel* makeLabel(const QString& text, TextStyle style, const QColor& color, QWidget* parent) {
    return makeLabel(text, style, color, Wrap::none, parent);
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

ElidedText::ElidedText(QString text, TextStyle style, const QColor& color, Qt::TextElideMode mode,
                       QWidget* parent)
    : QWidget(parent), text_(std::move(text)), color_(color), mode_(mode) {
    applyTextStyle(this, style);
    setAccessibleName(text_);
    setToolTip(text_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedText::setText(const QString& text) {
    text_ = text;
    setAccessibleName(text_);
    setToolTip(text_);
    updateGeometry();
    update();
}

QSize ElidedText::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text_) + 1, fontMetrics().height()};
}

QSize ElidedText::minimumSizeHint() const {
    return {std::min(sizeHint().width(), fontMetrics().horizontalAdvance(QStringLiteral("M…M"))),
            fontMetrics().height()};
}

void ElidedText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(color_);
    design::drawText(painter, rect(), Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text_, mode_, width()));
}

} // namespace bw::design
