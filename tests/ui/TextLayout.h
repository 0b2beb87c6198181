#pragma once

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

// Every piece of text the window paints, in painting order: a wrapped text comes line by line.
std::vector<QString> paintedTexts(QWidget& window);

} // namespace bw::test
