#pragma once

#include "tests/app/ModelHarness.h"
#include "ui/window/MainWindow.h"

#include <QMimeData>
#include <QSettings>

namespace bw::window::test {

// The program's window over a model launched by the model's harness (private history folder,
// local web service, manual clock), with settings of its own. Screens are plain widgets holding
// a text field, so that drops on a screen's text field are tried too.
class WindowHarness {
public:
    // With `realScreens`, the program's own screens and share menu; otherwise plain widgets.
    explicit WindowHarness(const QStringList& arguments = {QStringLiteral("berthwatch")},
                           bool realScreens = false);

    // Saves `reports` as the history and opens a new window over a new launch.
    void relaunch(const std::vector<ScanReport>& reports,
                  const QStringList& arguments = {QStringLiteral("berthwatch")});

    AppModel& model() { return harness.model(); }
    RootView& root() { return *window->rootView(); }

    bw::test::ModelHarness harness;
    std::unique_ptr<MainWindow> window;
    bool realScreens;
};

// A drag that enters the window at `point` (window coordinates) and is released there, delivered
// as Qt delivers it: to the innermost widget at the point that takes drops.
struct DropOutcome {
    bool entered;
    bool dropped;
};
DropOutcome dragAndDrop(QWidget& window, QPoint point, const QMimeData& data);

QMimeData* fileDrag(const QStringList& paths);

// The widget under `root` with this accessible name; null when there is none.
QWidget* named(QWidget& root, const QString& accessibleName);

// Runs the event loop for the queued work of the last event (a right click's action).
void settle();

} // namespace bw::window::test
