#pragma once

#include "ui/workspace/WorkspaceLinks.h"

#include <QPointer>
#include <QWidget>
#include <optional>

namespace bw::workspace {

class FileChooser;
class HomeDemonstration;
class StageHost;

// The scan section without a report: the start screen while no build is staged, the progress
// screen while a scan of the staged build is preparing or running, the staged build screen
// otherwise. Its "Back" item is the window toolbar's (BackToScanButton).
class HomeView : public QWidget {
    Q_OBJECT

public:
    enum class Stage { start, progress, staged };

    HomeView(AppModel& model, FileChooser& chooser, const WorkspaceLinks& links,
             QWidget* parent = nullptr);

    Stage stage() const { return *stage_; }
    QWidget* stageWidget() const;

    // The staged build screen's scan action: with screenshots exactly when some are assigned.
    void requestScan();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool isScanActive() const;
    Stage modelStage() const;
    QWidget* makeStage(Stage stage);
    void followModel();

    AppModel& model_;
    FileChooser& chooser_;
    WorkspaceLinks links_;
    StageHost* host_;
    std::optional<Stage> stage_;
    QPointer<HomeDemonstration> demonstration_;
};

} // namespace bw::workspace
