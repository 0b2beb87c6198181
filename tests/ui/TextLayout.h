#pragma once

#include <QRectF>
#include <QString>
#include <vector>

class QWidget;

// Whether every text a window shows can be read whole: caught from what the widgets paint, so
// that texts a widget draws itself count as much as labels.
namespace bw::test {

// What keeps a user from reading a text: its ink cut at an edge, a wrapped label given less
// height than its text needs at its width, or two texts drawn over one another. One line each,
// starting with the kind ("cut", "short", "overlap") and the text in quotes.
std::vector<QString> textFaults(QWidget& window);

// A text that a shown widget of `window` paints (each widget as if settled, without its effect),
// where its ink lands and the height of its baseline, in window coordinates.
struct PaintedText {
    QString text;
    QRectF ink;
    qreal baseline;
    const QWidget* widget; // the one that paints it
};
std::vector<PaintedText> paintedTexts(QWidget& window);

// A picture that `widget` paints as it is drawn now, its graphics effect included (which draws
// the widget and its children as one picture): the rectangle it lands in (widget coordinates), its
// own size and the opacity it is drawn at.
struct PaintedPicture {
    QRectF target;
    QSizeF size;
    double opacity;
};
std::vector<PaintedPicture> paintedPictures(QWidget& widget);

} // namespace bw::test
