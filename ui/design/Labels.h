#pragma once

#include "ui/design/TextStyle.h"

#include <QColor>
#include <QWidget>

class QLabel;

namespace bw::design {

enum class Wrap { none, lines };

// A text of the window in one role and colour: always plain, since many texts come from a scanned
// build or a saved report and must never be read as markup. It stands at its leading edge.
QLabel* makeLabel(const QString& text, TextStyle style, const QColor& color, Wrap wrap,
                  QWidget* parent = nullptr);
QLabel* makeLabel(const QString& text, TextStyle style, const QColor& color,
                  QWidget* parent = nullptr);

// Aligns the text of a label, text field (QLineEdit) or text view (QTextEdit) as the window reads:
// left and right in `alignment` are its leading and trailing edge, now and after any change of its
// direction, while the text reads in its own order. Qt aligns a plain text by the text's direction
// instead, which would keep a Latin text on the left of a mirrored widget. A text aligned to a side
// takes its alignment from here.
void alignText(QWidget* text, Qt::Alignment alignment);

// Changes the colour a label or text field draws its text in.
void setTextColor(QWidget* widget, const QColor& color);

// One line of plain text that elides where it must (the middle keeps both ends of an
// identifier); its natural width is the whole text, which its tooltip always shows.
class ElidedText : public QWidget {
public:
    ElidedText(QString text, TextStyle style, const QColor& color, Qt::TextElideMode mode,
               QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor color_;
    Qt::TextElideMode mode_;
};

} // namespace bw::design
