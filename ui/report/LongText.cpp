#include "ui/report/LongText.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace bw::report {

namespace {

// Widths a layout asks for; more are forgotten together.
constexpr qsizetype keptWidths = 4;

} // namespace

LongText::LongText(const QString& text, design::TextStyle style, const QColor& color,
                   int lineSpacing, QWidget* parent)
    : QWidget(parent), text_(text), font_(design::textStyleFont(style)), color_(color),
      lineSpacing_(lineSpacing) {
    // Latin text is drawn from the face's own advances rather than shaped: shaping thousands of
    // lines takes a tenth of a second at every width. Scripts that need shaping still get it.
    font_.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font_);
    setAccessibleName(text);
    setCursor(Qt::IBeamCursor);
    // Selected with the pointer; Tab passes it by for the controls.
    setFocusPolicy(Qt::ClickFocus);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QString LongText::selectedText() const {
    return text_.sliced(std::min(anchor_, position_), std::abs(position_ - anchor_));
}

void LongText::selectAll() {
    select(0, text_.size());
}

void LongText::measure() const {
    if (!paragraphs_.empty()) {
        return;
    }
    for (qsizetype start = 0;;) {
        qsizetype end = text_.indexOf(u'\n', start);
        const bool last = end < 0;
        end = last ? text_.size() : end;
        const qsizetype length = end - start - (end > start && text_.at(end - 1) == u'\r');
        QTextLayout layout(text_.sliced(start, length), font_);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setNumColumns(int(length));
        layout.endLayout();
        paragraphs_.push_back(
            {start, length, line.naturalTextWidth(), line.height() + lineSpacing_});
        if (last) {
            return;
        }
        start = end + 1;
    }
}

qreal LongText::layOut(QTextLayout& layout, const Paragraph& paragraph, qreal width) const {
    layout.setText(text_.sliced(paragraph.start, paragraph.length));
    layout.setFont(font_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Its lines start at the leading edge, the right one when mirrored, each read in its own order.
    option.setAlignment(QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft));
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition({0, y});
        y += line.height() + lineSpacing_;
    }
    layout.endLayout();
    return y;
}

const std::vector<qreal>& LongText::topsAt(int width) const {
    if (width == toppedWidth_) {
        return tops_;
    }
    measure();
    tops_.clear();
    qreal y = 0;
    for (const Paragraph& paragraph : paragraphs_) {
        tops_.push_back(y);
        if (paragraph.naturalWidth <= width) {
            y += paragraph.lineHeight;
        } else {
            QTextLayout layout;
            y += layOut(layout, paragraph, width);
        }
    }
    tops_.push_back(y);
    toppedWidth_ = width;
    return tops_;
}

int LongText::heightForWidth(int width) const {
    if (const auto known = heights_.constFind(width); known != heights_.cend()) {
        return *known;
    }
    if (heights_.size() == keptWidths) {
        heights_.clear();
    }
    return heights_[width] = int(std::ceil(topsAt(width).back()));
}

QSize LongText::sizeHint() const {
    // Its natural width is its longest line unwrapped.
    measure();
    const qreal widest = std::ranges::max(paragraphs_, {}, &Paragraph::naturalWidth).naturalWidth;
    const int width = int(std::ceil(widest));
    return {width, heightForWidth(width)};
}

QSize LongText::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth(), fontMetrics().height()};
}

std::size_t LongText::paragraphAt(qreal y) const {
    const std::vector<qreal>& tops = topsAt(width());
    const auto after = std::upper_bound(tops.begin(), tops.end() - 1, y);
    return std::size_t(std::max<std::ptrdiff_t>(after - tops.begin() - 1, 0));
}

qsizetype LongText::positionAt(const QPointF& point) const {
    const std::size_t index = paragraphAt(point.y());
    const Paragraph& paragraph = paragraphs_[index];
    QTextLayout layout;
    layOut(layout, paragraph, width());
    const qreal y = point.y() - tops_[index];
    QTextLine line = layout.lineAt(0);
    for (int i = 1; i < layout.lineCount() && layout.lineAt(i).y() <= y; ++i) {
        line = layout.lineAt(i);
    }
    return paragraph.start + line.xToCursor(point.x());
}

void LongText::select(qsizetype anchor, qsizetype position) {
    anchor_ = anchor;
    position_ = position;
    update();
}

void LongText::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setPen(color_);
    const std::vector<qreal>& tops = topsAt(width());
    const qsizetype from = std::min(anchor_, position_);
    const qsizetype to = std::max(anchor_, position_);
    QTextCharFormat selected;
    selected.setBackground(palette().highlight());
    selected.setForeground(palette().highlightedText());
    // Only the lines in sight are laid out and drawn.
    for (std::size_t i = paragraphAt(event->rect().top());
         i < paragraphs_.size() && tops[i] <= event->rect().bottom(); ++i) {
        const Paragraph& paragraph = paragraphs_[i];
        QTextLayout layout;
        layOut(layout, paragraph, width());
        QList<QTextLayout::FormatRange> selection;
        const qsizetype start = std::max(from, paragraph.start);
        const qsizetype end = std::min(to, paragraph.start + paragraph.length);
        if (start < end) {
            selection.push_back({int(start - paragraph.start), int(end - start), selected});
        }
        layout.draw(&painter, {0, tops[i]}, selection);
    }
}

void LongText::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return QWidget::mousePressEvent(event);
    }
    const qsizetype at = positionAt(event->position());
    select(event->modifiers() & Qt::ShiftModifier ? anchor_ : at, at);
}

void LongText::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        select(anchor_, positionAt(event->position()));
    }
}

void LongText::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::LeftButton && anchor_ != position_ &&
        clipboard->supportsSelection()) {
        clipboard->setText(selectedText(), QClipboard::Selection);
    }
}

void LongText::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return QWidget::mouseDoubleClickEvent(event);
    }
    // The word under the pointer, as a text field selects it.
    const qsizetype at = positionAt(event->position());
    const Paragraph& paragraph = paragraphs_[paragraphAt(event->position().y())];
    const QString line = text_.sliced(paragraph.start, paragraph.length);
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, line);
    words.setPosition(int(at - paragraph.start));
    qsizetype start = words.position();
    if (!words.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem)) {
        start = std::max<qsizetype>(words.toPreviousBoundary(), 0);
    }
    words.setPosition(int(start));
    const qsizetype end = words.toNextBoundary();
    select(paragraph.start + start, paragraph.start + (end < 0 ? line.size() : end));
}

void LongText::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        if (anchor_ != position_) {
            QGuiApplication::clipboard()->setText(selectedText());
        }
    } else {
        QWidget::keyPressEvent(event);
    }
}

void LongText::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu;
    QAction* copy = menu.addAction(QStringLiteral("Copy"), this, [this] {
        QGuiApplication::clipboard()->setText(selectedText());
    });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(anchor_ != position_);
    QAction* all = menu.addAction(QStringLiteral("Select All"), this, &LongText::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

} // namespace bw::report
