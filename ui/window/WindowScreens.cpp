#include "ui/window/WindowScreens.h"

#include "app/AppModel.h"
#include "ui/report/Pasteboard.h"
#include "ui/report/ReportHistoryView.h"
#include "ui/report/ReportShareButton.h"
#include "ui/report/ReportView.h"
#include "ui/window/GuidelinesView.h"
#include "ui/window/SettingsView.h"
#include "ui/window/ToolbarItem.h"
#include "ui/workspace/BackToScanButton.h"
#include "ui/workspace/FileChooser.h"
#include "ui/workspace/ScanWorkspaceView.h"

#include <QPainter>

namespace bw::window {

namespace {

// What the screens share for the window's whole life: the open panel and the clipboard.
struct Shared {
    workspace::DialogFileChooser chooser;
    report::Pasteboard pasteboard;
};

// The report's share menu drawn like the toolbar's other icon-only items, without the arrow
// or the frame of the style's menu buttons.
class ToolbarShareButton : public report::ReportShareButton {
public:
    using ReportShareButton::ReportShareButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintToolbarItem(painter, *this, u"square.and.arrow.up");
    }
};

QWidget* scanWorkspace(AppModel& model, UpdateController* updates,
                       const std::shared_ptr<Shared>& shared, RootView& root, QWidget* parent) {
    workspace::WorkspaceLinks links;
    links.updates = updates;
    links.reportView = [shared, &root](AppModel& model, const ScanReport& shown, QWidget* parent) {
        auto* view =
            new report::ReportView(report::ReportContext{model, shared->pasteboard}, shown, parent);
        root.placeReportAction(view->newScanButton());
        return view;
    };
    links.showReport = [](QWidget* view, const ScanReport& shown) {
        if (auto* reportView = qobject_cast<report::ReportView*>(view)) {
            reportView->setReport(shown);
        }
    };
    return new workspace::ScanWorkspaceView(model, shared->chooser, links, parent);
}

} // namespace

WindowSetup windowSetup(AppModel& model, UpdateController* updates,
                        report::ReportShareButton::FileChooser chooseMarkdownFile) {
    auto shared = std::make_shared<Shared>();
    WindowSetup setup;
    setup.screen = [&model, updates, shared](AppSection section, RootView& root,
                                             QWidget* parent) -> QWidget* {
        switch (section) {
        case AppSection::scan:
            return scanWorkspace(model, updates, shared, root, parent);
        case AppSection::recents:
            return new report::ReportHistoryView(model, {}, parent);
        case AppSection::guidelines:
            return new GuidelinesView({}, parent);
        case AppSection::settings:
            return new SettingsView(model, updates, {}, parent);
        }
        return nullptr;
    };
    setup.backItem = [&model](QWidget* parent) {
        return new workspace::BackToScanButton(model, parent);
    };
    setup.shareItem = [&model, shared, chooseMarkdownFile](QWidget* parent) {
        auto* button =
            new ToolbarShareButton(model, shared->pasteboard, chooseMarkdownFile, parent);
        button->setAccessibleName(QStringLiteral("Share report"));
        button->setToolTip(QStringLiteral("Share this report"));
        button->setAttribute(Qt::WA_Hover);
        button->setFocusPolicy(Qt::TabFocus);
        button->setFixedSize(32, 28);
        return ShareItem{button, [button](const std::optional<ScanReport>& report) {
                             button->setReport(report);
                         }};
    };
    return setup;
}

} // namespace bw::window
