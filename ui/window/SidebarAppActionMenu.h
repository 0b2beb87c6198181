#pragma once

#include "model/SidebarApp.h"
#include "ui/design/Popover.h"

#include <QImage>

namespace bw::window {

// The actions of one scanned app, in a popover beside its row: a header naming the app, open,
// show reports, reveal, copy the bundle identifier and, set apart, delete. Every entry closes
// the popover, then reports the choice.
class SidebarAppActionMenu : public design::Popover {
    Q_OBJECT

public:
    SidebarAppActionMenu(const SidebarApp& app, const QImage& icon, bool canRevealBuild,
                         QWidget* parent);

signals:
    void openChosen();
    void showReportsChosen();
    void revealChosen();
    void copyBundleIDChosen();
    void deleteChosen();

private:
    design::MenuEntry* addEntry(const QString& title, const QString& systemImage,
                                void (SidebarAppActionMenu::*chosen)(), bool isDestructive = false);
};

} // namespace bw::window
