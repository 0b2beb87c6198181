#pragma once

#include <QAccessible>

class QWidget;

namespace bw::design {

// Keeps a purely decorative widget out of what assistive technologies present: it has no role,
// no text, and reads as never shown. Call before anything asks about the widget (in its
// constructor): the answer is kept for the widget's life.
void hideFromAccessibility(QWidget& widget);

// Presents a widget of our own drawing as what it stands for (a popup of actions as a menu, its
// entries as menu items) rather than as the plain widget or button it is built on; a button
// keeps its press action. As for hiding, call it first thing in the constructor.
void presentAs(QWidget& widget, QAccessible::Role role);

} // namespace bw::design
