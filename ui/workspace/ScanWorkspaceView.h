#pragma once

#include "ui/workspace/WorkspaceScreens.h"

#include <QUuid>
#include <QWidget>
#include <optional>

namespace bw::workspace {

class FileChooser;
class HomeView;
class StageHost;

// The scan section of the window: the report on show, or the home stages. Opening a report,
// finishing a scan and starting a new one cross-fade between them.
class ScanWorkspaceView : public QWidget {
    Q_OBJECT

public:
    ScanWorkspaceView(AppModel& model, FileChooser& chooser, WorkspaceScreens screens,
                      QWidget* parent = nullptr);

    QWidget* currentScreen() const;
    // Null while a report is shown.
    HomeView* homeView() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void followReport(bool animated);

    AppModel& model_;
    FileChooser& chooser_;
    WorkspaceScreens screens_;
    StageHost* host_;
    std::optional<std::optional<QUuid>> shownReport_; // unset until the first screen is shown
};

} // namespace bw::workspace
