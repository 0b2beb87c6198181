#pragma once

#include <vector>

class QAbstractButton;
class QApplication;
class QWidget;

namespace bw::design {

// Whether `widget` shows a focus ring: it has the focus and took it from the keyboard (Tab,
// Shift-Tab, arrows moving through a menu, a mnemonic). Focus given by a click, by the window
// coming forward or by the program shows no ring.
bool showsFocusRing(const QWidget& widget);

// After an action done with the keyboard, gives `widget` the focus with its ring (where the
// action took the focus away or left it on nothing). After a click it does nothing: the focus
// stays where the pointer user left it. A focus given is brought into view as Tab's is.
void focusAfterKeyboardAction(QWidget& widget);
// After an action done with the keyboard on `stop` (a list filtered, a disclosure opened), keeps
// `stop` in view with `result`, no text cut at the edges, as the page settles (`followIntoView`).
// After a click it does nothing: the page stays where the pointer user has it.
void revealAfterKeyboardAction(QWidget& stop, QWidget& result);
// Gives `widget` the focus, with the ring when `isRinged` (it carries on one the keyboard brought).
void handFocus(QWidget& widget, bool isRinged);
// Gives `widget` the first focus of what was just opened (a dialog): with its ring when a key
// opened it, without after a click.
void handOpeningFocus(QWidget& widget);
// Before `leaving` (a screen, or a part of one made anew) goes for `next`, already shown and laid
// out in its place: where the focus was in `leaving`, gives it to the first control of `next`
// with its ring when the keyboard is in use (brought into view only where `next` shows it cut or
// not at all), else to `next` itself, without a ring. Hiding or deleting `leaving` would pass it
// on to whatever follows in the Tab order, far from the action (a sidebar row, the sidebar's
// width handle), or to nothing.
void passFocusOn(const QWidget& leaving, QWidget& next);
// Before `control` is hidden or disabled for a while: where it has the focus, `holder` (the
// screen round it) takes it meanwhile, without a ring, for the same reason.
void holdFocusFor(const QWidget& control, QWidget& holder);
// Whether Tab can bring the focus to `widget` now: it takes the focus by Tab, shown and enabled.
bool isTabStop(const QWidget& widget);
// The first control inside `widget` that Tab reaches from the top of its window, shown and
// enabled; none if there is none.
QWidget* firstTabStopIn(QWidget& widget);

// Makes Tab reach `stops` one after another, right after `anchor` (none: where the first stands),
// for controls made, reused or moved after the ones around them, which Tab would otherwise reach
// in the order they were made.
void chainTabStops(QWidget* anchor, const std::vector<QWidget*>& stops);
// What takes the focus in `widget`, by Tab or by a click, itself first, then what is inside it in
// the order it was made: chained, a text selected with a click keeps its place among the controls
// and Tab goes on from it to the control after it.
std::vector<QWidget*> focusChainIn(QWidget& widget);
// The last control that Tab reaches before `widget` and everything inside it; none if there is
// none.
QWidget* tabStopBefore(const QWidget& widget);

// Return and Enter click `button` while it has the focus, as Space does: for a row of a list, a
// card, a disclosure or a menu's entry, which the keyboard opens as any list's rows. A dialog's
// buttons keep Return for the dialog's own answer.
void activateOnReturn(QAbstractButton& button);

// Notes how each widget of the application takes the focus; installed with the design.
void trackKeyboardFocus(QApplication& application);

} // namespace bw::design
