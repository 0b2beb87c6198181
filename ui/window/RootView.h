#pragma once

#include "model/AppSection.h"
#include "model/ScanReport.h"
#include "ui/design/Motion.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcessEnvironment>
#include <QWidget>
#include <functional>

class QAbstractButton;

namespace bw {
class AppModel;
}

namespace bw::window {

class BerthwatchSidebar;
class SidebarResizeHandle;
class SidebarWidth;
class WindowDropTarget;

// A toolbar item that shares the report it is handed.
struct ShareItem {
    QWidget* widget = nullptr;
    std::function<void(const std::optional<ScanReport>& report)> show;
};

class RootView;

// What the window places that other parts of the program build.
struct WindowSetup {
    // The screen of a section, made fresh each time the section is shown; none leaves the
    // content area empty.
    std::function<QWidget*(AppSection section, RootView& root, QWidget* parent)> screen;
    // The toolbar's share item (its menu copies or saves the shown report); none leaves it out.
    std::function<ShareItem(QWidget* parent)> shareItem;
    // The scan section's own toolbar item ("Back" on the staged build screen), placed after the
    // sidebar toggle; it shows and hides itself. None leaves it out.
    std::function<QWidget*(QWidget* parent)> backItem;
    // The demonstration switches are read from these.
    QStringList arguments = QCoreApplication::arguments();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

// The content of the one window: the toolbar, the sidebar with its resize handle beside the
// screen of the current section, and the drop target that takes a build anywhere on the window.
// It starts the model once, when it first comes on screen.
class RootView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 960;
    static constexpr int minimumHeight = 640;
    static constexpr int toolbarHeight = 40;

    RootView(AppModel& model, WindowSetup setup, QWidget* parent = nullptr);
    ~RootView() override;

    // The title of the screen shown: the shown report's app name, "Scan", "Reports",
    // "Guidelines" or "Settings".
    QString navigationTitle() const;
    void toggleSidebar();
    void revealBuildInFinder(const ScanReport& report);
    // Puts a shown report's own action ("Scan another build") at the toolbar's trailing end;
    // it leaves with the widget that owns it.
    void placeReportAction(QWidget* action);

    BerthwatchSidebar* sidebar() const { return sidebar_; }
    SidebarResizeHandle* resizeHandle() const { return handle_; }
    // The screen shown for the current section.
    QWidget* screen() const { return screen_; }
    QWidget* contentArea() const { return content_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeToolbar();
    void showSection();
    void updateToolbar();
    void layOut();
    void fadeSidebar(double opacity);

    AppModel& model_;
    WindowSetup setup_;
    SidebarWidth* width_;
    QWidget* backdrop_;
    QWidget* toolbar_;
    QAbstractButton* toggle_ = nullptr;
    QAbstractButton* reveal_ = nullptr;
    ShareItem share_;
    BerthwatchSidebar* sidebar_;
    SidebarResizeHandle* handle_;
    QWidget* content_;
    QPointer<QWidget> screen_;
    std::optional<AppSection> shownSection_;
    WindowDropTarget* dropTarget_;
    bool isSidebarVisible_;
    bool hasStarted_ = false;
    // 1 while the sidebar is shown, 0 while hidden; between the two while it slides.
    design::AnimatedValue sidebarReveal_;
};

} // namespace bw::window
