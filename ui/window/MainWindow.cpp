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
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>

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
    auto followPhase = [this] {
        const bool busy = model_.scanPhase().isBusy();
        // The scan's progress comes or goes in place of the screen shown.
        if (busy == newScan_->isEnabled()) {
            releaseMenuBar();
        }
        newScan_->setEnabled(!busy);
    };
    connect(&model_, &AppModel::scanPhaseChanged, this, followPhase);
    followPhase();
    for (const auto screenChanged :
         {&AppModel::sectionChanged, &AppModel::reportChanged, &AppModel::stagedChanged}) {
        connect(&model_, screenChanged, this, &MainWindow::releaseMenuBar);
    }
    // Clicks are watched only while the bar holds the keys.
    bar_ = menuBar();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (bar_ && now == bar_) {
            qApp->installEventFilter(this);
        } else {
            qApp->removeEventFilter(this);
        }
    });
    // The default size is the content's: the menu bar comes on top of it.
    resize(defaultContentSize + QSize(0, menuBar()->sizeHint().height()));
}

MainWindow::~MainWindow() {
    // The focus changes as the window goes, when nothing of it may answer any more.
    disconnect(qApp, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
}

void MainWindow::showAbout() {
    const ApplicationInfo& info = ApplicationInfo::main();
    auto* about = new design::AboutDialog(appDisplayName(info), applicationVersionText(info), this);
    about->open();
}

// Escape that closes one of the bar's menus leaves its title lit and the bar holding the keys,
// for the arrows to go on from there. A click anywhere else in the window, or another screen,
// lets it go, as on every desktop; a second Escape does too.
void MainWindow::releaseMenuBar() {
    if (!bar_ || !bar_->hasFocus() || QApplication::activePopupWidget()) {
        return;
    }
    // The bar's own way out: the focus goes back where it was.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(bar_, &escape);
    // Where that control has gone with its screen, the keys start again from the window.
    if (bar_->hasFocus()) {
        bar_->clearFocus();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const bool onTitle = widget == bar_ && bar_->actionAt(at);
        if (widget->window() == this && !onTitle) {
            releaseMenuBar();
        }
    }
    return QMainWindow::eventFilter(watched, event);
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
