#pragma once

#include <functional>

namespace bw::design {

// Reads the desktop's animation and contrast settings (GNOME, through GSettings), calls `onChange`
// with them at once and again whenever the user changes one. Without those settings on the
// machine, `onChange` is called once with both false. Main thread only; the watch lasts for the
// life of the process.
void watchDesktopSettings(std::function<void(bool reduceMotion, bool reduceTransparency)> onChange);

} // namespace bw::design
