#pragma once

#include "model/ScanReport.h"
#include "ui/design/Popover.h"

namespace bw::report {

// The popup of one saved report: a header with its icon, name and version, then "Open Report",
// "Reveal Build in File Manager" (disabled when the build is gone), "Copy Bundle Identifier" and
// "Delete Report". Choosing an entry closes the popup before its signal is emitted.
class ReportActionMenu : public design::Popover {
    Q_OBJECT

public:
    ReportActionMenu(const ScanReport& report, bool canRevealBuild, QWidget* parent = nullptr);

signals:
    void openRequested();
    void revealBuildRequested();
    void copyBundleIDRequested();
    void deleteRequested();

private:
    void addEntry(const QString& title, const QString& symbol, bool destructive,
                  void (ReportActionMenu::*signal)(), bool enabled = true);
};

} // namespace bw::report
