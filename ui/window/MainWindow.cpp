#include "ui/window/MainWindow.h"

#include "app/AppModel.h"
#include "app/UpdateController.h"
#include "model/MarketingMode.h"
#include "services/info/ApplicationInfo.h"
#include "ui/design/AboutDialog.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/window/ApplicationTexts.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>

namespace bw::window {

MainWindow::MainWindow(AppModel& model, UpdateController* updates, WindowSetup setup,
                       QWidget* parent)
    : QMainWindow(parent), model_(model) {
    const bool isDemonstration = marketing_mode::isEnabled(setup.arguments, setup.environment);
    root_ = new RootView(model, std::move(setup), this);
    setCentralWidget(root_);
    new design::WindowChromeInstaller(this, isDemonstration);

    QMenu* application = menuBar()->addMenu(QStringLiteral("Berthwatch"));
    about_ = application->addAction(QStringLiteral("About Berthwatch"));
    connect(about_, &QAction::triggered, this, &MainWindow::showAbout);
    checkForUpdates_ = application->addAction(QStringLiteral("Check for Updates…"));
    checkForUpdates_->setEnabled(updates && updates->isAvailable());
    if (updates) {
        connect(checkForUpdates_, &QAction::triggered, updates, &UpdateController::checkForUpdates);
    }
    application->addSeparator();
    QAction* quit = application->addAction(QStringLiteral("Quit Berthwatch"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    // "New Scan" is the only New command: the program has one window.
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    newScan_ = file->addAction(QStringLiteral("New Scan"));
    newScan_->setShortcut(QKeySequence::New);
    connect(newScan_, &QAction::triggered, &model_, &AppModel::resetForNewScan);
    auto followPhase = [this] { newScan_->setEnabled(!model_.scanPhase().isBusy()); };
    connect(&model_, &AppModel::scanPhaseChanged, this, followPhase);
    followPhase();
    // The default size is the content's: the menu bar comes on top of it.
    resize(defaultContentSize + QSize(0, menuBar()->sizeHint().height()));
}

void MainWindow::showAbout() {
    const ApplicationInfo& info = ApplicationInfo::main();
    auto* about = new design::AboutDialog(appDisplayName(info), applicationVersionText(info), this);
    about->open();
}

void MainWindow::bringForward() {
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
}

} // namespace bw::window
