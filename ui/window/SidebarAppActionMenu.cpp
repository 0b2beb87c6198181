#include "ui/window/SidebarAppActionMenu.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/window/SidebarAppButton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
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
        paintSidebarAppIcon(painter, iconFrame, icon_, app_.appName);
        const int left = int(iconFrame.right()) + 10;
        const int available = width() - left - 9;
        painter.setFont(design::textStyleFont(design::TextStyle::bodyEmphasized));
        painter.setPen(palette::textPrimary());
        painter.drawText(QRect(left, 8, available, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(app_.appName, Qt::ElideRight, available));
        painter.setFont(design::textStyleFont(design::TextStyle::monoCaption));
        painter.setPen(palette::textTertiary());
        painter.drawText(
            QRect(left, 26, available, 14), Qt::AlignLeft | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(app_.bundleIdentifier, Qt::ElideMiddle, available));
    }

private:
    SidebarApp app_;
    QImage icon_;
};

// Half a point of white at 0.075, inset 5 points on each side.
class MenuDivider : public QWidget {
public:
    explicit MenuDivider(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRectF(5, 0, width() - 10, 0.5), palette::withOpacity(Qt::white, 0.075));
    }
};

} // namespace

SidebarAppActionMenu::SidebarAppActionMenu(const SidebarApp& app, const QImage& icon,
                                           bool canRevealBuild, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The click that closes the menu by landing outside it does nothing else, so a second
    // click on the ellipsis closes the menu instead of opening it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setAccessibleName(QStringLiteral("App actions"));
    setFixedWidth(arrowDepth + menuWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(arrowDepth + 7, 7, 7, 7);
    layout->setSpacing(0);
    layout->addWidget(new MenuHeader(app, icon, this));
    layout->addSpacing(5);
    layout->addWidget(new MenuDivider(this));
    layout->addSpacing(5);
    addEntry(QStringLiteral("Open Latest Report"), QStringLiteral("doc.text.magnifyingglass"),
             &SidebarAppActionMenu::openChosen);
    addEntry(QStringLiteral("Open Reports"), QStringLiteral("clock"),
             &SidebarAppActionMenu::showReportsChosen);
    addEntry(QStringLiteral("Reveal Build in File Manager"), QStringLiteral("folder"),
             &SidebarAppActionMenu::revealChosen)
        ->setEnabled(canRevealBuild);
    addEntry(QStringLiteral("Copy Bundle Identifier"), QStringLiteral("doc.on.doc"),
             &SidebarAppActionMenu::copyBundleIDChosen);
    layout->addSpacing(5);
    layout->addWidget(new MenuDivider(this));
    layout->addSpacing(5);
    addEntry(QStringLiteral("Delete App History"), QStringLiteral("trash"),
             &SidebarAppActionMenu::deleteChosen, true);
}

design::MenuEntry* SidebarAppActionMenu::addEntry(const QString& title, const QString& systemImage,
                                                  void (SidebarAppActionMenu::*chosen)(),
                                                  bool isDestructive) {
    auto* entry = new design::MenuEntry(title, systemImage, isDestructive, menuWidth - 14, this);
    entry->setFocusPolicy(Qt::TabFocus);
    connect(entry, &QAbstractButton::clicked, this, [this, chosen] {
        close();
        emit(this->*chosen)();
    });
    layout()->addWidget(entry);
    return entry;
}

void SidebarAppActionMenu::popUpBeside(QWidget* anchor) {
    adjustSize();
    // The arrow points at the anchor's trailing edge, from a little way off.
    const QPoint tip = anchor->mapToGlobal(QPoint(anchor->width() + 2, anchor->height() / 2));
    QPoint place(tip.x(), anchor->mapToGlobal(QPoint(0, -7)).y());
    if (const QScreen* screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        place.setY(std::clamp(place.y(), available.top(),
                              std::max(available.top(), available.bottom() - height())));
    }
    constexpr int arrowRoom = cornerRadius + arrowHalfWidth;
    arrowY_ = std::clamp(tip.y() - place.y(), arrowRoom, std::max(arrowRoom, height() - arrowRoom));
    // The window itself takes the bubble's shape; no desktop needs to draw transparency for it.
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
    move(place);
    takeBackdrop(anchor->window());
    show();
}

QPainterPath SidebarAppActionMenu::outline() const {
    QPainterPath bubble = design::continuousRoundedRect(
        QRectF(arrowDepth, 0, width() - arrowDepth, height()), cornerRadius);
    QPainterPath arrow;
    arrow.moveTo(0, arrowY_);
    arrow.lineTo(arrowDepth + 1, arrowY_ - arrowHalfWidth);
    arrow.lineTo(arrowDepth + 1, arrowY_ + arrowHalfWidth);
    arrow.closeSubpath();
    return bubble.united(arrow);
}

void SidebarAppActionMenu::takeBackdrop(QWidget* window) {
    // A thin material over the window: what lies under the menu, blurred. A popup cannot see
    // through to the window on every desktop, so it draws the window's own picture of that place;
    // where the menu reaches past the window, the canvas stands in for it.
    if (design::MotionPreferences::instance().reduceTransparency()) {
        return;
    }
    const QRect under(window->mapFromGlobal(pos()), size());
    QImage sharp(size(), QImage::Format_RGB32);
    sharp.fill(palette::canvas());
    QPainter(&sharp).drawPixmap(window->rect().intersected(under).topLeft() - under.topLeft(),
                                window->grab(window->rect().intersected(under)));
    constexpr int blur = 12;
    backdrop_ = sharp.scaled(sharp.size() / blur, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void SidebarAppActionMenu::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Down:
        focusNextChild();
        return;
    case Qt::Key_Up:
        focusPreviousChild();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SidebarAppActionMenu::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = outline();
    painter.setClipPath(shape);
    if (backdrop_.isNull()) {
        painter.fillRect(rect(), palette::menuSurface());
    } else {
        painter.drawImage(QPointF(0, 0), backdrop_);
        painter.fillRect(rect(), palette::withOpacity(palette::menuSurface(), 0.64));
    }
    painter.setClipping(false);
    painter.strokePath(shape, QPen(palette::hairline(), 1));
}

} // namespace bw::window
