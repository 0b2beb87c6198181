#include "ui/window/WindowScreens.h"

#include "app/AppModel.h"
#include "ui/report/ReportsView.h"
#include "ui/window/GuidelinesView.h"
#include "ui/window/SettingsView.h"

namespace bw::window {

WindowSetup windowSetup(AppModel& model, UpdateController* updates) {
    WindowSetup setup;
    setup.screen = [&model, updates](AppSection section, QWidget* parent) -> QWidget* {
        switch (section) {
        case AppSection::scan:
            // The scan workspace comes here once it lands; until then the area stays empty.
            return nullptr;
        case AppSection::recents:
            return new report::ReportsView(model, {}, parent);
        case AppSection::guidelines:
            return new GuidelinesView({}, parent);
        case AppSection::settings:
            return new SettingsView(model, updates, {}, parent);
        }
        return nullptr;
    };
    return setup;
}

} // namespace bw::window
