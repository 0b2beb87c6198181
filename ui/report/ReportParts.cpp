#include "ui/report/ReportParts.h"

#include <QPainter>

namespace bw::report {

QLabel* makeText(const QString& text, design::TextStyle style, const QColor& color, Wrap wrap,
                 Selection selection, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    design::applyTextStyle(label, style);
    setTextColor(label, color);
    label->setWordWrap(wrap == Wrap::lines);
    if (selection == Selection::on) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setCursor(Qt::IBeamCursor);
    }
    return label;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

ElidedText::ElidedText(QString text, design::TextStyle style, const QColor& color,
                       Qt::TextElideMode mode, QWidget* parent)
    : QWidget(parent), text_(std::move(text)), color_(color), mode_(mode) {
    design::applyTextStyle(this, style);
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
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text_, mode_, width()));
}

Rule::Rule(const QColor& color, int leadingInset, int trailingInset, QWidget* parent)
    : QWidget(parent), color_(color), leadingInset_(leadingInset), trailingInset_(trailingInset) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Rule::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect().adjusted(leadingInset_, 0, -trailingInset_, 0), color_);
}

Dot::Dot(const QColor& color, int diameter, QWidget* parent) : QWidget(parent), color_(color) {
    setFixedSize(diameter, diameter);
}

void Dot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    painter.drawEllipse(QRectF(rect()));
}

} // namespace bw::report
