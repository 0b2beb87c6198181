#pragma once

#include "app/Launch.h"
#include "app/UpdateController.h"
#include "app/UpdateDialogPresenter.h"
#include "ui/window/MainWindow.h"

#include <QSettings>
#include <memory>

namespace bw {

class SingleInstance;

// The berthwatch program once it holds the single instance: the one model, the software updates
// of the feed the application information names (none without one) and the window, which a later
// start brings forward.
class Program {
public:
    explicit Program(SingleInstance& instance, const LaunchSettings& settings = {});

    AppModel& model() const { return *model_; }
    UpdateController* updates() const { return updates_.get(); }
    window::MainWindow& window() const { return *window_; }

private:
    std::unique_ptr<AppModel> model_;
    QSettings settings_;
    UpdateDialogPresenter presenter_;
    std::unique_ptr<UpdateController> updates_;
    std::unique_ptr<window::MainWindow> window_;
};

} // namespace bw
