#include "ui/window/SidebarAppActionMenu.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/window/SidebarAppButton.h"

#include <QPainter>
#include <QVBoxLayout>

namespace bw::window {

namespace palette = design::palette;

namespace {

// The menu's header: the app's icon, name and bundle identifier.
class MenuHeader : public QWidget {
public:
    MenuHeader(const SidebarApp& app, const QImage& icon, QWidget* parent)
        : QWidget(parent), app_(app), icon_(icon) {
        setFixedHeight(30 + 16);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF iconFrame(9, 8, 30, 30);
        paintSidebarAppIcon(painter, design::leading(*this, iconFrame), icon_, app_.appName);
        const int left = int(iconFrame.right()) + 10;
        const int available = width() - left - 9;
        painter.setFont(design::textStyleFont(design::TextStyle::bodyEmphasized));
        painter.setPen(palette::textPrimary());
        design::drawText(painter, design::leading(*this, QRect(left, 8, available, 16)),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(app_.appName, Qt::ElideRight, available));
        painter.setFont(design::textStyleFont(design::TextStyle::monoCaption));
        painter.setPen(palette::textTertiary());
        design::drawText(
            painter, design::leading(*this, QRect(left, 26, available, 14)),
            Qt::AlignLeft | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(app_.bundleIdentifier, Qt::ElideMiddle, available));
    }

private:
    SidebarApp app_;
    QImage icon_;
};

design::PopoverStyle menuStyle() {
    design::PopoverStyle style;
    style.width = 252;
    style.cornerRadius = 10;
    style.arrowDepth = 9;
    style.border = palette::hairline();
    style.seesThrough = true;
    style.separatorThickness = 0.5;
    return style;
}

} // namespace

SidebarAppActionMenu::SidebarAppActionMenu(const SidebarApp& app, const QImage& icon,
                                           bool canRevealBuild, QWidget* parent)
    : design::Popover(menuStyle(), parent) {
    // The click that closes the menu by landing outside it does nothing else, so a second
    // click on the ellipsis closes the menu instead of opening it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setAccessibleName(QStringLiteral("App actions"));
    column()->addWidget(new MenuHeader(app, icon, this));
    addSeparator();
    addEntry(QStringLiteral("Open Latest Report"), QStringLiteral("doc.text.magnifyingglass"),
             &SidebarAppActionMenu::openChosen);
    addEntry(QStringLiteral("Open Reports"), QStringLiteral("clock"),
             &SidebarAppActionMenu::showReportsChosen);
    addEntry(QStringLiteral("Reveal Build in File Manager"), QStringLiteral("folder"),
             &SidebarAppActionMenu::revealChosen)
        ->setEnabled(canRevealBuild);
    addEntry(QStringLiteral("Copy Bundle Identifier"), QStringLiteral("doc.on.doc"),
             &SidebarAppActionMenu::copyBundleIDChosen);
    addSeparator();
    addEntry(QStringLiteral("Delete App History"), QStringLiteral("trash"),
             &SidebarAppActionMenu::deleteChosen, true);
}

design::MenuEntry* SidebarAppActionMenu::addEntry(const QString& title, const QString& systemImage,
                                                  void (SidebarAppActionMenu::*chosen)(),
                                                  bool isDestructive) {
    design::MenuEntry* entry = design::Popover::addEntry(title, systemImage, isDestructive,
                                                         [this, chosen] { emit(this->*chosen)(); });
    entry->setFocusPolicy(Qt::TabFocus);
    return entry;
}

} // namespace bw::window
