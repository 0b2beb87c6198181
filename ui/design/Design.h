#pragma once

class QApplication;

namespace bw::design {

// Starts reading the desktop's font configuration, which Qt reads at its first font, on a thread
// of its own: it takes a while, and the application object can be built meanwhile. Call before
// building that; installDesign waits for it.
void startReadingFontConfiguration();

// Registers the bundled fonts and sets the dark scheme (Fusion, palette, the body's font without
// its tracking) on the application. Call once, before the first widget is made.
void installDesign(QApplication& application);

} // namespace bw::design
