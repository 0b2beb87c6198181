#pragma once

#include "tests/app/ModelHarness.h"
#include "tests/ui/Widgets.h"
#include "ui/window/MainWindow.h"

#include <QSettings>

namespace bw::window::test {

// The program's window over a model launched by the model's harness (private history folder,
// local web service, manual clock), with settings of its own. Screens are plain widgets holding
// a text field, so that drops on a screen's text field are tried too.
class WindowHarness {
public:
    // With `realScreens`, the program's own screens and share menu; otherwise plain widgets.
    // "Save As…" writes into the test's folder, or with `realSaveDialog` opens the real dialog.
    explicit WindowHarness(const QStringList& arguments = {QStringLiteral("berthwatch")},
                           bool realScreens = false, bool realSaveDialog = false);

    // Saves `reports` as the history and opens a new window over a new launch.
    void relaunch(const std::vector<ScanReport>& reports,
                  const QStringList& arguments = {QStringLiteral("berthwatch")});
    // Closes the window and ends its model, its saves done: the history folder is the test's
    // to change until the next launch.
    void quit();
    // Opens a new window over a new launch that reads the history folder as it is.
    void launch(const QStringList& arguments = {QStringLiteral("berthwatch")});

    AppModel& model() { return harness.model(); }
    RootView& root() { return *window->rootView(); }

    bw::test::ModelHarness harness;
    std::unique_ptr<MainWindow> window;
    bool realScreens;
    bool realSaveDialog;
};

} // namespace bw::window::test
