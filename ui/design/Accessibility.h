#pragma once

class QWidget;

namespace bw::design {

// Keeps a purely decorative widget out of what assistive technologies present: it has no role,
// no text, and reads as never shown. Call before anything asks about the widget (in its
// constructor): the answer is kept for the widget's life.
void hideFromAccessibility(QWidget& widget);

} // namespace bw::design
