#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <limits>

namespace bw::design {

// Wrapped text that never widens its column: it breaks between words, and inside a word too
// long for the line (a path, an identifier). Limited to two lines, the second ends with an
// ellipsis when the text goes on; otherwise it takes as many lines as it needs. Only whole lines
// are ever drawn. (One line cut with an ellipsis is ElidedText.)
class TextBlock : public QWidget {
    Q_OBJECT

public:
    enum class Lines { two, asNeeded };

    TextBlock(Lines lines, const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    void setColor(const QColor& color);
    // The lines as drawn at `width`, an ellipsis ending a cut one.
    QStringList linesAt(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Lines lines_;
    QFont font_;
    QColor color_;
    QString text_;
};

// `text` broken into lines of `width` at most, as a TextBlock breaks it; with more lines than
// `limit`, the last one kept takes the rest of the text, cut with an ellipsis.
QStringList breakLines(const QString& text, const QFont& font, qreal width,
                       int limit = std::numeric_limits<int>::max());

} // namespace bw::design
