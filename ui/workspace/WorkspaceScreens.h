#pragma once

#include <QWidget>
#include <functional>

namespace bw {
class AppModel;
struct ScanReport;
} // namespace bw

namespace bw::workspace {

// The screens of neighbouring folders that the workspace places: the staged build screen, handed
// the action that starts a scan, and the report screen of one report. The main window supplies
// them; one that is not supplied shows as an empty area.
struct WorkspaceScreens {
    std::function<QWidget*(AppModel& model, std::function<void()> onRequestScan, QWidget* parent)>
        stagedBuildView;
    std::function<QWidget*(AppModel& model, const ScanReport& report, QWidget* parent)> reportView;
};

} // namespace bw::workspace
