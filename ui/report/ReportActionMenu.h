#pragma once

#include "model/ScanReport.h"

#include <QWidget>

namespace bw::report {

// The popup of one saved report: a header with its icon, name and version, then "Open Report",
// "Reveal Build in File Manager" (disabled when the build is gone), "Copy Bundle Identifier" and
// "Delete Report". Choosing an entry closes the popup before its signal is emitted.
class ReportActionMenu : public QWidget {
    Q_OBJECT

public:
    ReportActionMenu(const ScanReport& report, bool canRevealBuild, QWidget* parent = nullptr);

    // Shows the popup beside `anchor` (global coordinates), kept on the anchor's screen.
    void popup(const QRect& anchor);

signals:
    void openRequested();
    void revealBuildRequested();
    void copyBundleIDRequested();
    void deleteRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void addEntry(const QString& title, const QString& symbol, bool destructive,
                  void (ReportActionMenu::*signal)(), bool enabled = true);
    void addSeparator();
};

} // namespace bw::report
