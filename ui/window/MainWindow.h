#pragma once

#include "ui/window/RootView.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMenuBar;

namespace bw {
class UpdateController;
}

namespace bw::window {

// The application's one window: the root view under the menu bar with "About Berthwatch", "Check
// for Updates…" and "New Scan".
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize defaultContentSize{1120, 760};

    // `updates` may be null, or hold no updater: "Check for Updates…" is then disabled.
    MainWindow(AppModel& model, UpdateController* updates, WindowSetup setup,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    RootView* rootView() const { return root_; }
    QAction* newScanAction() const { return newScan_; }
    QAction* aboutAction() const { return about_; }
    QAction* checkForUpdatesAction() const { return checkForUpdates_; }

    // Shows the window on top of the others and gives it the focus, as a second start asks.
    void bringForward();
    // The application's name, version and build number, in a dialog over the window.
    void showAbout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void releaseMenuBar();

    AppModel& model_;
    RootView* root_;
    QAction* about_;
    QAction* newScan_;
    QAction* checkForUpdates_;
    QPointer<QMenuBar> bar_;
};

} // namespace bw::window
