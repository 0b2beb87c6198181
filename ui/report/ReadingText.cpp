#include "ui/report/ReadingText.h"

#include "ui/design/Labels.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>
#include <memory>

namespace bw::report {

ReadingText::ReadingText(const QString& text, design::TextStyle style, const QColor& color,
                         int lineSpacing, Selection selection, QWidget* parent)
    : QTextEdit(parent), lineSpacing_(lineSpacing) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDocumentMargin(0);
    design::applyTextStyle(this, style);
    design::alignText(this, Qt::AlignLeft);
    setText(text);

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
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ReadingText::setText(const QString& text) {
    setPlainText(text);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    QTextBlockFormat spacing;
    spacing.setLineHeight(lineSpacing_, QTextBlockFormat::LineDistanceHeight);
    all.mergeBlockFormat(spacing);
    setAccessibleName(text);
    measuredWidth_ = -1;
    updateGeometry();
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
