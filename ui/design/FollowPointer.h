#pragma once

class QWidget;

namespace bw::design {

// Widgets that move under a pointer that stays put (a scroll, a relayout) hear of it from no
// window system. Asks Qt to place the pointer anew over `widget`'s window once the event loop is
// back: a move where the pointer is, delivered to the window as the window system would, so Qt's
// own record of the widget under the pointer follows and Qt sends the enter and leave events.
// All asks of one turn make one move (on X11 each look at the pointer is a round trip to the
// display server). The first call also has the pointer followed from then on when a window
// moves or resizes and around popups and dialogs (watchPointerAroundWindows).
void followPointer(QWidget& widget);

// From now on, for every window of the application: the pointer is placed anew after the window
// moves or resizes and after a popup or a dialog over it closes, and every widget Qt still marks
// as under the pointer but that it is not over hears the pointer leave; and while a popup or a
// dialog has the pointer, Qt gives its moves to that alone, so the other windows hear from here
// what the pointer leaves, and what it stays on stays lit; after a drop, at once and again once
// the pointer has moved, as the dragging program may hold the pointer until then (looked for
// during two seconds; a later move Qt follows from the window system's next event, as ever). Once
// is enough.
void watchPointerAroundWindows();

} // namespace bw::design
