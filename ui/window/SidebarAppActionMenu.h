#pragma once

#include "model/SidebarApp.h"
#include "ui/design/MenuEntry.h"

#include <QImage>
#include <QPainterPath>
#include <QWidget>

namespace bw::window {

// The actions of one scanned app, in a popover beside its row: a header naming the app, open,
// show reports, reveal, copy the bundle identifier and, set apart, delete. Every entry closes
// the popover, then reports the choice.
class SidebarAppActionMenu : public QWidget {
    Q_OBJECT

public:
    static constexpr int menuWidth = 252;
    // The popover's arrow on its leading edge, and its corners.
    static constexpr int arrowDepth = 9;
    static constexpr int arrowHalfWidth = 9;
    static constexpr int cornerRadius = 10;

    SidebarAppActionMenu(const SidebarApp& app, const QImage& icon, bool canRevealBuild,
                         QWidget* parent);

    // Shows the popover to the trailing side of `anchor`.
    void popUpBeside(QWidget* anchor);

signals:
    void openChosen();
    void showReportsChosen();
    void revealChosen();
    void copyBundleIDChosen();
    void deleteChosen();

protected:
    void paintEvent(QPaintEvent* event) override;
    // Escape closes the menu; the arrow keys move between its entries.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void takeBackdrop(QWidget* window);
    // The bubble with its arrow, in the menu's coordinates.
    QPainterPath outline() const;
    design::MenuEntry* addEntry(const QString& title, const QString& systemImage,
                                void (SidebarAppActionMenu::*chosen)(), bool isDestructive = false);

    // The window under the menu, blurred; null under reduce transparency.
    QImage backdrop_;
    // Where the arrow's tip is, from the top.
    int arrowY_ = cornerRadius + arrowHalfWidth;
};

} // namespace bw::window
