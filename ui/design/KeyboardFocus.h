#pragma once

class QApplication;
class QWidget;

namespace bw::design {

// Whether `widget` shows a focus ring: it has the focus and took it from the keyboard (Tab,
// Shift-Tab, arrows moving through a menu, a mnemonic). Focus given by a click, by the window
// coming forward or by the program shows no ring.
bool showsFocusRing(const QWidget& widget);

// Forgets that the keyboard brought the focus to `widget`, for focus that Qt hands over as if
// Tab had been pressed (a dialog's first focus) when nothing was.
void forgetKeyboardFocus(QWidget& widget);

// Notes how each widget of the application takes the focus; installed with the design.
void trackKeyboardFocus(QApplication& application);

} // namespace bw::design
