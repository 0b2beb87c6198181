#pragma once

#include "ui/report/ReportShareButton.h"
#include "ui/window/RootView.h"

namespace bw {
class UpdateController;
}

namespace bw::window {

// The screens and the report's share menu of the program's window. `chooseMarkdownFile` asks
// where "Save As…" writes the report; none means the desktop's save dialog.
WindowSetup windowSetup(AppModel& model, UpdateController* updates,
                        report::ReportShareButton::FileChooser chooseMarkdownFile = {});

} // namespace bw::window
