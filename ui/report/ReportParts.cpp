#include "ui/report/ReportParts.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>
#include <memory>

namespace bw::report {

QLabel* makeText(const QString& text, design::TextStyle style, const QColor& color, Wrap wrap,
                 QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    design::applyTextStyle(label, style);
    setTextColor(label, color);
    label->setWordWrap(wrap == Wrap::lines);
    return label;
}

ReadingText::ReadingText(const QString& text, design::TextStyle style, const QColor& color,
                         int lineSpacing, Selection selection, QWidget* parent)
    : QTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDocumentMargin(0);
    design::applyTextStyle(this, style);
    setPlainText(text);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    QTextBlockFormat spacing;
    spacing.setLineHeight(lineSpacing, QTextBlockFormat::LineDistanceHeight);
    all.mergeBlockFormat(spacing);

    QPalette colors = palette();
    colors.setColor(QPalette::Text, color);
    colors.setColor(QPalette::Base, Qt::transparent);
    setPalette(colors);
    viewport()->setAutoFillBackground(false);
    if (selection == Selection::on) {
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        // Selected with the pointer; Tab passes it by for the controls.
        setFocusPolicy(Qt::ClickFocus);
    } else {
        setTextInteractionFlags(Qt::NoTextInteraction);
        setFocusPolicy(Qt::NoFocus);
        viewport()->setCursor(Qt::ArrowCursor);
    }
    setAccessibleName(text);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int ReadingText::heightForWidth(int width) const {
    if (width != measuredWidth_) {
        std::unique_ptr<QTextDocument> measure(document()->clone());
        measure->setDocumentMargin(0);
        measure->setTextWidth(width);
        measuredWidth_ = width;
        measuredHeight_ = int(std::ceil(measure->size().height()));
    }
    return measuredHeight_;
}

QSize ReadingText::sizeHint() const {
    // Its natural width is its longest line unwrapped.
    std::unique_ptr<QTextDocument> measure(document()->clone());
    measure->setDocumentMargin(0);
    measure->setTextWidth(-1);
    const int width = int(std::ceil(measure->idealWidth()));
    return {width, heightForWidth(width)};
}

void ReadingText::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

QSize ReadingText::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth(), fontMetrics().height()};
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QColor mix(const QColor& from, const QColor& to, qreal t) {
    const auto lerp = [t](qreal a, qreal b) { return a + (b - a) * t; };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
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
