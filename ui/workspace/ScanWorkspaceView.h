#pragma once

#include "ui/workspace/WorkspaceLinks.h"

#include <QWidget>

namespace bw::workspace {

class FileChooser;
class HomeView;
class StageHost;

// The scan section of the window: the report on show, or the home stages. Opening a report,
// finishing a scan and starting a new one cross-fade between them; one report screen shows every
// report that follows another.
class ScanWorkspaceView : public QWidget {
    Q_OBJECT

public:
    ScanWorkspaceView(AppModel& model, FileChooser& chooser, WorkspaceLinks links,
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
    WorkspaceLinks links_;
    StageHost* host_;
};

} // namespace bw::workspace
