#include "ui/window/WindowScreens.h"

#include "app/AppModel.h"

namespace bw::window {

WindowSetup windowSetup(AppModel&, UpdateController*) {
    WindowSetup setup;
    // Each section's screen comes here as it lands; until then its content area stays empty.
    setup.screen = [](AppSection, QWidget*) -> QWidget* { return nullptr; };
    return setup;
}

} // namespace bw::window
