#pragma once

#include "ui/design/TextStyle.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QWidget>
#include <vector>

class QTextLayout;

namespace bw::report {

// A plain text that may run to thousands of lines (a tool's output), wrapped like a ReadingText
// and selectable with the pointer, Select All and Copy. Each of its lines is measured once; a
// width then lays out only the lines too long for it, and a paint only the lines in sight, so
// asking its height at any width stays cheap where a text document would lay it all out again.
class LongText : public QWidget {
    Q_OBJECT

public:
    LongText(const QString& text, design::TextStyle style, const QColor& color, int lineSpacing,
             QWidget* parent = nullptr);

    QString text() const { return text_; }
    QString selectedText() const;
    void selectAll();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // One line of the text as given, between two line breaks.
    struct Paragraph {
        qsizetype start;
        qsizetype length;
        qreal naturalWidth; // unwrapped
        qreal lineHeight;   // of its one line unwrapped, spacing included
    };

    void measure() const;
    // The top of each paragraph at `width`, and the bottom of the last one.
    const std::vector<qreal>& topsAt(int width) const;
    qreal layOut(QTextLayout& layout, const Paragraph& paragraph, qreal width) const;
    // The paragraph at `y` and the position in the whole text nearest to `point`.
    std::size_t paragraphAt(qreal y) const;
    qsizetype positionAt(const QPointF& point) const;
    void select(qsizetype anchor, qsizetype position);

    QString text_;
    QFont font_;
    QColor color_;
    int lineSpacing_;
    mutable std::vector<Paragraph> paragraphs_;
    mutable int toppedWidth_ = -1;
    mutable std::vector<qreal> tops_;
    // Layouts ask again and again for the same few widths.
    mutable QHash<int, int> heights_;
    qsizetype anchor_ = 0;
    qsizetype position_ = 0;
};

} // namespace bw::report
