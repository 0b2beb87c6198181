#include "ui/design/Labels.h"

#include "ui/design/Leading.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTextEdit>

namespace bw::design {

namespace {

// The alignment a label, text field or text view holds for its text.
Qt::Alignment alignmentOf(const QWidget& text) {
    if (const auto* view = qobject_cast<const QTextEdit*>(&text)) {
        return view->document()->defaultTextOption().alignment();
    }
    return text.property("alignment").value<Qt::Alignment>();
}

void setAlignmentOf(QWidget& text, Qt::Alignment alignment) {
    if (auto* view = qobject_cast<QTextEdit*>(&text)) {
        QTextOption option = view->document()->defaultTextOption();
        option.setAlignment(alignment);
        view->document()->setDefaultTextOption(option);
        return;
    }
    text.setProperty("alignment", QVariant::fromValue(alignment));
}

// Works a text's alignment out again when its direction changes (the application's turned, or the
// text put into a parent of the other direction). The text's own alignment is all it keeps: an
// absolute one was set for the direction the text had until this change.
class SideAlignmentFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LayoutDirectionChange) {
            auto* text = static_cast<QWidget*>(watched);
            Qt::Alignment alignment = alignmentOf(*text);
            if (alignment.testFlag(Qt::AlignAbsolute)) {
                alignment.setFlag(Qt::AlignAbsolute, false);
                const Qt::LayoutDirection before =
                    text->isRightToLeft() ? Qt::LeftToRight : Qt::RightToLeft;
                alignment = QStyle::visualAlignment(before, alignment);
                alignment.setFlag(Qt::AlignAbsolute, false);
            }
            alignText(text, alignment);
        }
        return false;
    }
};

} // namespace

QLabel* makeLabel(const QString& text, TextStyle style, const QColor& color, Wrap wrap,
                  QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    applyTextStyle(label, style);
    setTextColor(label, color);
    label->setWordWrap(wrap == Wrap::lines);
    alignText(label, Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLabel* makeLabel(const QString& text, TextStyle style, const QColor& color, QWidget* parent) {
    return makeLabel(text, style, color, Wrap::none, parent);
}

void alignText(QWidget* text, Qt::Alignment alignment) {
    // One filter serves every text; installing it again on a text keeps it once.
    static SideAlignmentFilter filter;
    text->installEventFilter(&filter);
    setAlignmentOf(*text, QStyle::visualAlignment(text->layoutDirection(), alignment));
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
