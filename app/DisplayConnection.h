#pragma once

#include "app/CommandLine.h"

namespace bw {

// Whether `display` answers: an X server takes this user's connection, or a Wayland compositor
// listens on its socket. Nothing is left open.
bool canConnect(const Display& display);

} // namespace bw
