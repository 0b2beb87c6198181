#include "ui/workspace/HomeView.h"

#include "app/AppModel.h"
#include "ui/workspace/HomeDemonstration.h"
#include "ui/workspace/HomeStartScreen.h"
#include "ui/workspace/ScanProgressView.h"
#include "ui/workspace/StageHost.h"
#include "ui/workspace/StagedBuildView.h"

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind homeViewMotion = design::MotionKind::skipping();

// Where each stage enters from and leaves to.
QPointF stageOffset(HomeView::Stage stage) {
    switch (stage) {
    case HomeView::Stage::start:
        return {0, -8};
    case HomeView::Stage::staged:
        return {0, 10};
    case HomeView::Stage::progress:
        break;
    }
    return {};
}

} // namespace

HomeView::HomeView(AppModel& model, FileChooser& chooser, const WorkspaceLinks& links,
                   QWidget* parent)
    : QWidget(parent), model_(model), chooser_(chooser), links_(links) {
    setWindowTitle(u"Scan"_qs);
    host_ = new StageHost(this);
    connect(&model, &AppModel::stagedChanged, this, &HomeView::followModel);
    connect(&model, &AppModel::scanPhaseChanged, this, &HomeView::followModel);
    followModel();
}

QWidget* HomeView::stageWidget() const {
    return host_->current();
}

bool HomeView::isScanActive() const {
    return model_.scanPhase().isBusy();
}

// A scan that is active while nothing is staged still shows the start screen.
HomeView::Stage HomeView::modelStage() const {
    if (!model_.staged()) {
        return Stage::start;
    }
    return isScanActive() ? Stage::progress : Stage::staged;
}

void HomeView::requestScan() {
    model_.startScan(!model_.selectedScreenshotURLs().isEmpty());
}

QWidget* HomeView::makeStage(Stage stage) {
    switch (stage) {
    case Stage::start:
        return new HomeStartScreen(model_, chooser_);
    case Stage::progress:
        return new ScanProgressView(model_);
    case Stage::staged:
        break;
    }
    auto* staged = new StagedBuildView(model_);
    staged->setScanRequest([this] { requestScan(); });
    staged->setFileChooser(&chooser_);
    staged->setUpdateController(links_.updates);
    return staged;
}

void HomeView::followModel() {
    const Stage next = modelStage();
    if (stage_ == next) {
        return;
    }
    // Staging or dropping a build moves with one spring, a scan starting or ending with another.
    const bool stagingChanged = !stage_ || (*stage_ == Stage::start) != (next == Stage::start);
    const design::Motion motion =
        !stage_ ? design::Motion::none() : homeViewMotion.spring(stagingChanged ? 0.38 : 0.42);
    const QPointF leaveTo = stage_ ? stageOffset(*stage_) : QPointF();
    stage_ = next;
    // The demonstration plays exactly while the start screen is the stage.
    delete demonstration_;
    if (next == Stage::start) {
        demonstration_ =
            new HomeDemonstration(model_, model_.isDemonstration(), model_.marketingScene(), this);
    }
    host_->present(makeStage(next), {stageOffset(next), leaveTo, motion, 0.985});
}

void HomeView::resizeEvent(QResizeEvent*) {
    host_->setGeometry(rect());
}

} // namespace bw::workspace
