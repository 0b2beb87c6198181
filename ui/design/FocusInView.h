#pragma once

class QAbstractScrollArea;
class QWidget;

namespace bw::design {

// Scrolls every scroll area round `widget` so that the control shows whole with room for its
// ring, clear of a faded edge, and leaves no text cut at the edges where a place without one
// still shows it. Done for every focus the keyboard moves (see `trackKeyboardFocus`).
void revealFocus(QWidget& widget);

// Whether every scroll area round `widget` already shows it as revealFocus would: whole, with
// room for its ring, clear of a faded edge.
bool isShownWhole(QWidget& widget);

// Until the user's next key, click or scroll, keeps `stop` whole in view with as much of `result`
// after it as the view holds, and the fewest texts cut at the edges, as the page round them
// changes: a list filtered, a disclosure opening.
void followIntoView(QWidget& stop, QWidget& result);

// `outline` draws the ring of the focus held by a widget inside it (a field round its text):
// that focus reveals the whole of `outline`.
void drawsFocusRingWithin(QWidget& outline);

// The scroll area fades its content over `length` at an edge beyond which more of it lies: a
// revealed control goes clear of that fade.
void setFadedEdgeLength(QAbstractScrollArea& area, int length);

} // namespace bw::design
