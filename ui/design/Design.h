#pragma once

class QApplication;

namespace bw::design {

// Registers the bundled fonts and sets the dark scheme (Fusion, palette, the body font) on the
// application. Call once, before the first widget is made.
void installDesign(QApplication& application);

} // namespace bw::design
