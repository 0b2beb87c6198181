#pragma once

#include "model/AppSection.h"
#include "model/SidebarApp.h"
#include "ui/design/Motion.h"

#include <QWidget>
#include <vector>

class QVBoxLayout;

namespace bw {
class AppModel;
}

namespace bw::window {

class SidebarAppButton;
class SidebarDestinationButton;
class SidebarSelectionHighlight;

// The window's left column: Scan and Reports at the top, the scanned apps under "Apps", and
// Guidelines and Settings pinned to the bottom. Everything it shows comes from the model; it
// changes the model only through the section, the shown report and the history operations.
// While a scan is preparing or running every row is disabled.
class BerthwatchSidebar : public QWidget {
    Q_OBJECT

public:
    explicit BerthwatchSidebar(AppModel& model, QWidget* parent = nullptr);

    // Switches to a destination; nothing while a scan is preparing or running. Scan closes a
    // shown report.
    void select(AppSection section);

    SidebarDestinationButton* destination(AppSection section) const;
    const std::vector<SidebarAppButton*>& appRows() const { return appRows_; }
    SidebarSelectionHighlight* contentHighlight() const { return contentHighlight_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateApps();
    void showApps(std::vector<SidebarApp> apps);
    SidebarAppButton* makeRow(SidebarApp app);
    void focusAppAfterDeletion(std::size_t place);
    void addRemainingAppRows();
    std::size_t rowsOnAScreen() const;
    void updateSelection();
    void updateBusy();
    void updateDropTint();
    // The row's report in the history; none once it is gone.
    const ScanReport* latestReport(const SidebarApp& app) const;
    void openApp(const SidebarApp& app);
    void showReports();

    AppModel& model_;
    std::vector<SidebarDestinationButton*> destinations_;
    std::vector<SidebarAppButton*> appRows_;
    // The whole list of apps, while rows are still to be made for its tail.
    std::vector<SidebarApp> pendingApps_;
    QVBoxLayout* appsLayout_;
    QWidget* emptyState_;
    QWidget* appsColumn_;
    bool hasPainted_ = false;
    SidebarSelectionHighlight* contentHighlight_;
    SidebarSelectionHighlight* footerHighlight_;
    design::AnimatedValue dropTint_{0.0};
};

} // namespace bw::window
