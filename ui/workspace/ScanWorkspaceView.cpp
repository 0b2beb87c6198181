#include "ui/workspace/ScanWorkspaceView.h"

#include "app/AppModel.h"
#include "ui/workspace/HomeView.h"
#include "ui/workspace/StageHost.h"

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind scanWorkspaceViewMotion = design::MotionKind::skipping();

} // namespace

ScanWorkspaceView::ScanWorkspaceView(AppModel& model, FileChooser& chooser, WorkspaceLinks links,
                                     QWidget* parent)
    : QWidget(parent), model_(model), chooser_(chooser), links_(std::move(links)),
      host_(new StageHost(this)) {
    connect(&model, &AppModel::reportChanged, this, [this] { followReport(true); });
    followReport(false);
}

QWidget* ScanWorkspaceView::currentScreen() const {
    return host_->current();
}

HomeView* ScanWorkspaceView::homeView() const {
    return qobject_cast<HomeView*>(host_->current());
}

// The home stages and the report cross-fade; a report that follows another goes to the report
// screen already shown, which brings it in by itself.
void ScanWorkspaceView::followReport(bool animated) {
    const auto& report = model_.report();
    // What is on show says which screen it is: the home stages or, made for a report, any other.
    QWidget* shown = host_->current();
    const bool showsReport = shown && !homeView();
    if (shown && showsReport == report.has_value()) {
        if (report && links_.showReport) {
            links_.showReport(shown, *report);
        }
        return;
    }
    const design::Motion motion =
        animated ? scanWorkspaceViewMotion.spring(0.42) : design::Motion::none();
    if (!report) {
        host_->present(new HomeView(model_, chooser_, links_), {{}, {0, 4}, motion});
        return;
    }
    QWidget* view = links_.reportView ? links_.reportView(model_, *report, nullptr) : new QWidget;
    host_->present(view, {{0, 4}, {}, motion});
}

void ScanWorkspaceView::resizeEvent(QResizeEvent*) {
    host_->setGeometry(rect());
}

} // namespace bw::workspace
