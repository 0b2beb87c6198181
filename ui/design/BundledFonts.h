#pragma once

#include <QString>

namespace bw::design {

// The families of the bundled fonts, as registered by installDesign.
QString textFamily();
QString monospacedFamily();
QString symbolFamily();
// Not bundled (it would add 11 MB to every program): the system's, from fonts-noto-color-emoji.
QString emojiFamily();

// Adds the bundled fonts to the application's font database; false if one could not be read.
bool registerBundledFonts();

} // namespace bw::design
