#pragma once

#include "ui/design/TextStyle.h"

#include <QColor>
#include <QLabel>
#include <QTextEdit>

namespace bw::report {

enum class Selection { off, on };

// A longer text of a finding (a detail, a step's instruction, an evidence or technical value):
// plain, wrapped between words and inside a word too long for a line, so nothing is ever cut,
// with `lineSpacing` points added between its lines; the user may select and copy it when
// `selection` is on. Its height follows its width.
class ReadingText : public QTextEdit {
public:
    ReadingText(const QString& text, design::TextStyle style, const QColor& color, int lineSpacing,
                Selection selection, QWidget* parent = nullptr);

    // Shows another text with the same spacing.
    void setText(const QString& text);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // The text neither scrolls nor zooms (Ctrl and the wheel would): the wheel scrolls the report
    // around it.
    void wheelEvent(QWheelEvent* event) override;

private:
    int lineSpacing_;
    // The last measure: layouts ask for the same width many times.
    mutable int measuredWidth_ = -1;
    mutable int measuredHeight_ = 0;
};

// A filled circle of `diameter`, centred in its box: the separator dots of meta lines.
class Dot : public QWidget {
public:
    Dot(const QColor& color, int diameter = 3, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

} // namespace bw::report
