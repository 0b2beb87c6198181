#pragma once

#include "ui/window/RootView.h"

namespace bw {
class UpdateController;
}

namespace bw::window {

// The screens and the report's share menu of the program's window.
WindowSetup windowSetup(AppModel& model, UpdateController* updates);

} // namespace bw::window
