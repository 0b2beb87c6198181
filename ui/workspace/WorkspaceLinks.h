#pragma once

#include <QWidget>
#include <functional>

namespace bw {
class AppModel;
class UpdateController;
struct ScanReport;
} // namespace bw

namespace bw::workspace {

// What the workspace takes from the rest of the window: the report screen (a folder the
// workspace does not depend on), made for one report and then handed each report that follows,
// and the update controller that the staged build screen's "Check for updates" uses. Without a
// report screen an empty area stands in; without a controller that button is disabled.
struct WorkspaceLinks {
    std::function<QWidget*(AppModel& model, const ScanReport& report, QWidget* parent)> reportView;
    std::function<void(QWidget* reportView, const ScanReport& report)> showReport;
    UpdateController* updates = nullptr;
};

} // namespace bw::workspace
