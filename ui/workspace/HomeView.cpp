#include "ui/workspace/HomeView.h"

#include "app/AppModel.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/HomeDemonstration.h"
#include "ui/workspace/HomeStartScreen.h"
#include "ui/workspace/ScanProgressView.h"
#include "ui/workspace/StageHost.h"
#include "ui/workspace/StagedBuildView.h"

#include <QPainter>
#include <QToolButton>

namespace bw::workspace {

namespace {

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

QIcon symbolIcon(QStringView name, const QColor& color) {
    QPixmap pixmap(QSize(16, 16) * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    design::paintSymbol(painter, QRectF(0, 0, 16, 16), name, 12, QFont::Medium, color);
    return QIcon(pixmap);
}

} // namespace

HomeView::HomeView(AppModel& model, FileChooser& chooser, const WorkspaceLinks& links,
                   QWidget* parent)
    : QWidget(parent), model_(model), chooser_(chooser), links_(links) {
    setWindowTitle(u"Scan"_qs);
    host_ = new StageHost(this);
    back_ = new QToolButton(this);
    back_->setText(u"Back"_qs);
    back_->setIcon(symbolIcon(u"chevron.left", design::palette::textPrimary()));
    back_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_->setAutoRaise(true);
    back_->setToolTip(u"Back"_qs);
    back_->setAccessibleName(u"Back to Scan"_qs);
    design::applyTextStyle(back_, design::TextStyle::bodyEmphasized);
    connect(back_, &QToolButton::clicked, &model, &AppModel::clearStagedBuild);
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
    back_->setVisible(model_.staged() && !isScanActive());
    back_->setEnabled(!isScanActive());
    back_->raise();
    const Stage next = modelStage();
    if (stage_ == next) {
        return;
    }
    // Staging or dropping a build moves with one spring, a scan starting or ending with another.
    const bool stagingChanged = !stage_ || (*stage_ == Stage::start) != (next == Stage::start);
    const design::Motion motion =
        !stage_ ? design::Motion::none()
                : design::unlessReduceMotion(design::Motion::spring(stagingChanged ? 0.38 : 0.42));
    const QPointF leaveTo = stage_ ? stageOffset(*stage_) : QPointF();
    stage_ = next;
    // The demonstration plays exactly while the start screen is the stage.
    delete demonstration_;
    if (next == Stage::start) {
        demonstration_ =
            new HomeDemonstration(model_, model_.isDemonstration(), model_.marketingScene(), this);
    }
    host_->present(makeStage(next), {stageOffset(next), leaveTo, motion});
}

void HomeView::resizeEvent(QResizeEvent*) {
    host_->setGeometry(rect());
    back_->adjustSize();
    back_->move(12, 10);
}

} // namespace bw::workspace
