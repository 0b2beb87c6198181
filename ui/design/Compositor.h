#pragma once

#include <optional>

namespace bw::design {

// Whether the desktop composites its windows, so that a window's transparent pixels show what
// lies under it. An X11 desktop without a compositor shows them black; Wayland always composites.
// Asked anew each time (one round trip to an X11 display): a compositor can start or stop while
// the program runs.
bool desktopComposites();

// Tests decide the answer; none asks the desktop again.
void overrideDesktopComposites(std::optional<bool> value);

} // namespace bw::design
