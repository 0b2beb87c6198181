#pragma once

#include <QStringView>

class QAbstractButton;
class QPainter;

namespace bw::window {

// How the toolbar's icon-only items draw: the symbol in the secondary text colour (the primary
// while pressed), a soft fill under the pointer or while pressed, and the keyboard's ring.
void paintToolbarItem(QPainter& painter, const QAbstractButton& item, QStringView symbol);

} // namespace bw::window
