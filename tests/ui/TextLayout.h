#pragma once

#include <QRectF>
#include <QString>
#include <vector>

class QWidget;

// Whether every text a window shows can be read whole: caught from what the widgets paint, so
// that texts a widget draws itself count as much as labels.
namespace bw::test {

struct DrawnText {
    QString text;
    const QWidget* widget;
    // The ink of the text, the part of the window it shows in now, and the part it may show in
    // once scrolled to, in window coordinates.
    QRectF ink;
    QRectF visible;
    QRectF reachable;
};

// Every text the visible widgets of `window` paint, in painting order.
std::vector<DrawnText> drawnTexts(QWidget& window);

// What keeps a user from reading a text: its ink cut at an edge, a wrapped label given less
// height than its text needs at its width, or two texts drawn over one another. One line each,
// starting with the kind ("cut", "short", "overlap") and the text in quotes.
std::vector<QString> textFaults(QWidget& window);

} // namespace bw::test
