#pragma once

#include "model/ScanReport.h"

#include <QAbstractButton>
#include <QWidget>

namespace bw::design {
class AnimatedValue;
}

namespace bw::report {

// One entry of the report actions menu: a symbol and a title, clickable over its whole width.
class ReportMenuAction : public QAbstractButton {
    Q_OBJECT

public:
    ReportMenuAction(const QString& title, const QString& systemImage, bool isDestructive,
                     QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString systemImage_;
    bool isDestructive_;
    design::AnimatedValue* hover_;
};

// The popup of one saved report: a header with its icon, name and version, then "Open Report",
// "Reveal Build in Finder" (disabled when the build is gone), "Copy Bundle Identifier" and
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
