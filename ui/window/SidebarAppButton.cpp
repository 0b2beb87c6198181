#include "ui/window/SidebarAppButton.h"

#include "model/ReportHelpers.h"
#include "platform/core/InParts.h"
#include "platform/image/ImageDecoding.h"
#include "ui/design/AppIconTile.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/ConfirmationDialog.h"
#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/report/SecondaryClickTarget.h"
#include "ui/window/SidebarAppActionMenu.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTimer>
#include <functional>

namespace bw::window {

namespace palette = design::palette;

namespace {

constexpr int appIconSize = 26;
// The action menu's header draws the icon larger than the row.
constexpr int largestIconSize = 30;
constexpr int leadingPadding = 11;
constexpr int spacing = 10;
constexpr int trailingFrame = 28;
constexpr int trailingPadding = 6;

// The "ellipsis" that opens the app's actions.
class EllipsisButton : public QAbstractButton {
public:
    EllipsisButton(QWidget* parent, std::function<void()> focusChanged)
        : QAbstractButton(parent), focusChanged_(std::move(focusChanged)) {
        setFixedSize(24, 24);
        setToolTip(QStringLiteral("App actions"));
        setAccessibleName(QStringLiteral("App actions"));
        setFocusPolicy(Qt::TabFocus);
        design::activateOnReturn(*this);
    }

    void setOpacity(double opacity) {
        opacity_ = opacity;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        // Unseen until the row is hovered: a long list's rows lay no glyph out for it.
        if (opacity_ <= 0) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        design::paintCapsuleFocusRing(painter, *this);
        painter.setOpacity(opacity_);
        design::paintSymbol(painter, QRectF(rect()), u"ellipsis", 11, QFont::DemiBold,
                            palette::textSecondary());
    }

    void focusInEvent(QFocusEvent* event) override {
        QAbstractButton::focusInEvent(event);
        focusChanged_();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QAbstractButton::focusOutEvent(event);
        focusChanged_();
    }

private:
    std::function<void()> focusChanged_;
    double opacity_ = 0;
};

} // namespace

QImage sidebarAppIconImage(const SidebarApp& app, qreal devicePixelRatio) {
    if (!app.iconPNG) {
        return {};
    }
    // Builds carry icons of up to 1024 pixels; a long list keeps one decoded image per row.
    const QSize largest = QSize(largestIconSize, largestIconSize) * devicePixelRatio;
    QImage image;
    // A PNG, as saved icons are, is read as one at the size drawn: guessing the format would
    // load every image plug-in before the first frame. Anything else goes the general way.
    if (app.iconPNG->startsWith("\x89PNG\r\n\x1a\n")) {
        QBuffer bytes;
        bytes.setData(*app.iconPNG);
        QImageReader reader(&bytes, "png");
        reader.setAutoDetectImageFormat(false);
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() <= image::maxDecodedPixels) {
            if (size.width() > largest.width() || size.height() > largest.height()) {
                reader.setScaledSize(size.scaled(largest, Qt::KeepAspectRatio));
            }
            image = reader.read();
        }
    }
    if (image.isNull()) {
        image = design::decodeAppIcon(app.iconPNG);
    }
    if (image.width() > largest.width() || image.height() > largest.height()) {
        image = image.scaled(largest, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

void paintSidebarAppIcon(QPainter& painter, const QRectF& frame, const QImage& icon,
                         const QString& appName) {
    design::AppIconTileStyle style;
    style.placeholder = palette::withOpacity(palette::tileSurface(), 0.84);
    style.glyph = palette::textSecondary();
    style.rim = palette::withOpacity(Qt::white, 0.07);
    design::paintAppIconTile(painter, frame, icon, monogram(appName), style);
}

SidebarAppButton::SidebarAppButton(SidebarApp app, QWidget* parent)
    : SidebarRowButton(parent), app_(std::move(app)),
      ellipsis_(new EllipsisButton(this, [this] { updateEllipsis(); })) {
    setAccessibleName(app_.appName);
    setAccessibleDescription(statusText(app_));
    connect(ellipsis_, &QAbstractButton::clicked, this, &SidebarAppButton::toggleActionMenu);
    connect(this, &SidebarRowButton::hoverShownChanged, this, &SidebarAppButton::updateEllipsis);
    connect(this, &SidebarRowButton::hoverProgressChanged, this, &SidebarAppButton::updateEllipsis);
    // Event filters see the mouse events of a disabled widget too, so a row disabled by a
    // running scan refuses its right clicks here.
    new report::SecondaryClickTarget(this, [this] {
        if (isEnabled()) {
            showActionMenu();
        }
    });
    updateEllipsis();
}

void SidebarAppButton::setApp(SidebarApp app) {
    if (app == app_) {
        return;
    }
    app_ = std::move(app);
    icon_.reset();
    pendingIcon_.reset();
    setAccessibleName(app_.appName);
    setAccessibleDescription(statusText(app_));
    update();
}

SidebarAppButton::~SidebarAppButton() {
    delete menu_;
}

void SidebarAppButton::decodeIcons(const std::vector<SidebarAppButton*>& rows) {
    std::vector<SidebarAppButton*> undecoded;
    std::vector<SidebarApp> apps;
    std::vector<qreal> ratios;
    for (SidebarAppButton* row : rows) {
        if (!row->icon_ && !row->pendingIcon_) {
            undecoded.push_back(row);
            apps.push_back(row->app_);
            ratios.push_back(row->devicePixelRatioF());
        }
    }
    if (undecoded.empty()) {
        return;
    }
    const std::shared_future<std::vector<QImage>> icons =
        std::async(std::launch::async, [apps = std::move(apps), ratios = std::move(ratios)] {
            const std::vector<std::vector<QImage>> parts =
                inParts(apps.size(), 1, [&](std::size_t begin, std::size_t end) {
                    std::vector<QImage> part;
                    for (std::size_t index = begin; index < end; ++index) {
                        part.push_back(sidebarAppIconImage(apps[index], ratios[index]));
                    }
                    return part;
                });
            std::vector<QImage> all;
            for (const std::vector<QImage>& part : parts) {
                all.insert(all.end(), part.begin(), part.end());
            }
            return all;
        }).share();
    for (std::size_t index = 0; index < undecoded.size(); ++index) {
        undecoded[index]->pendingIcon_ = PendingIcon{icons, index};
    }
}

const QImage& SidebarAppButton::icon() {
    if (!icon_ && pendingIcon_) {
        icon_ = pendingIcon_->icons.get()[pendingIcon_->index];
        pendingIcon_.reset();
    }
    // Decoded when first drawn: most rows of a long list are never scrolled into view.
    if (!icon_) {
        icon_ = sidebarAppIconImage(app_, devicePixelRatioF());
    }
    return *icon_;
}

bool SidebarAppButton::isActionMenuPresented() const {
    return menu_ != nullptr;
}

SidebarAppActionMenu* SidebarAppButton::actionMenu() const {
    return static_cast<SidebarAppActionMenu*>(menu_.data());
}

QColor SidebarAppButton::statusTint(const SidebarApp& app) {
    if (app.blockers > 0) {
        return palette::danger();
    }
    if (app.risks > 0) {
        return palette::warning();
    }
    if (app.manualChecks > 0) {
        return palette::info();
    }
    return palette::success();
}

QString SidebarAppButton::statusText(const SidebarApp& app) {
    if (app.blockers > 0) {
        return QStringLiteral("Latest report has %1 blockers").arg(app.blockers);
    }
    if (app.risks > 0) {
        return QStringLiteral("Latest report has %1 risks").arg(app.risks);
    }
    if (app.manualChecks > 0) {
        return QStringLiteral("Latest report requires %1 manual checks").arg(app.manualChecks);
    }
    return QStringLiteral("Latest report has no blockers or risks");
}

QSize SidebarAppButton::sizeHint() const {
    return {200, rowHeight};
}

QSize SidebarAppButton::minimumSizeHint() const {
    return {0, rowHeight};
}

void SidebarAppButton::resizeEvent(QResizeEvent* event) {
    const QPoint centre(width() - trailingPadding - trailingFrame / 2, height() / 2);
    ellipsis_->setGeometry(design::leading(
        *this, QRect(centre - QPoint(ellipsis_->width() / 2, ellipsis_->height() / 2),
                     ellipsis_->size())));
    SidebarRowButton::resizeEvent(event);
}

void SidebarAppButton::focusInEvent(QFocusEvent* event) {
    SidebarRowButton::focusInEvent(event);
    updateEllipsis();
}

void SidebarAppButton::focusOutEvent(QFocusEvent* event) {
    SidebarRowButton::focusOutEvent(event);
    updateEllipsis();
}

bool SidebarAppButton::hasKeyboardWithin() const {
    return design::showsFocusRing(*this) || ellipsis_->hasFocus();
}

double SidebarAppButton::ellipsisOpacity() const {
    return isActionMenuPresented() || hasKeyboardWithin() ? 1 : hoverProgress();
}

void SidebarAppButton::updateEllipsis() {
    // The ellipsis takes the dot's place, and the clicks there, while the row is hovered, its
    // menu is open or the keyboard is on the row or on it (the row's next Tab stop); the two
    // cross-fade with the hover.
    ellipsis_->setAttribute(Qt::WA_TransparentForMouseEvents,
                            !(showsHover() || isActionMenuPresented() || hasKeyboardWithin()));
    static_cast<EllipsisButton*>(ellipsis_)->setOpacity(ellipsisOpacity());
    update();
}

void SidebarAppButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackground(painter);
    const double middle = height() / 2.0;
    paintSidebarAppIcon(painter,
                        design::leading(*this, QRectF(leadingPadding, middle - appIconSize / 2.0,
                                                      appIconSize, appIconSize)),
                        icon(), app_.appName);
    const int textLeft = leadingPadding + appIconSize + spacing;
    const int textRight = width() - trailingPadding - trailingFrame - trailingPadding;
    painter.setFont(design::textStyleFont(isSelected() ? design::TextStyle::sidebarItemSelected
                                                       : design::TextStyle::sidebarItem));
    painter.setPen(foreground());
    design::drawText(
        painter,
        design::leading(*this, QRect(textLeft, 0, std::max(0, textRight - textLeft), height())),
        Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(app_.appName, Qt::ElideRight,
                                         std::max(0, textRight - textLeft)));
    const QPointF dot(design::leadingX(*this, width() - trailingPadding - trailingFrame / 2.0),
                      middle);
    painter.setOpacity(1 - ellipsisOpacity());
    painter.setPen(Qt::NoPen);
    painter.setBrush(statusTint(app_));
    painter.drawEllipse(dot, 3.5, 3.5);
}

bool SidebarAppButton::canRevealBuild() const {
    const QString& path = app_.sourcePath;
    return !path.isEmpty() && QFileInfo::exists(path);
}

void SidebarAppButton::toggleActionMenu() {
    if (menu_) {
        menu_->close();
    } else {
        showActionMenu();
    }
}

void SidebarAppButton::showActionMenu() {
    if (menu_) {
        return;
    }
    // Built afresh each time, so "Reveal Build in File Manager" reflects the disk at this moment.
    auto* menu = new SidebarAppActionMenu(app_, icon(), canRevealBuild(), this);
    menu_ = menu;
    // Every entry closes the menu before it does its work.
    connect(menu, &SidebarAppActionMenu::openChosen, this, &QAbstractButton::click);
    connect(menu, &SidebarAppActionMenu::showReportsChosen, this,
            &SidebarAppButton::showReportsRequested);
    connect(menu, &SidebarAppActionMenu::revealChosen, this, [this] {
        if (canRevealBuild()) {
            emit revealRequested();
        }
    });
    connect(menu, &SidebarAppActionMenu::copyBundleIDChosen, this,
            [this] { QGuiApplication::clipboard()->setText(app_.bundleIdentifier); });
    connect(menu, &SidebarAppActionMenu::deleteChosen, this, [this] {
        // After the menu has gone, not within the click that closed it.
        QTimer::singleShot(0, this, &SidebarAppButton::confirmDelete);
    });
    connect(menu, &QObject::destroyed, this, [this] {
        menu_ = nullptr;
        updateEllipsis();
    });
    updateEllipsis();
    menu->popUpBeside(QRect(ellipsis_->mapToGlobal(QPoint(0, 0)), ellipsis_->size()));
}

void SidebarAppButton::confirmDelete() {
    // The name comes from a scanned build: shown as plain text, never read as markup.
    auto* box = new design::ConfirmationDialog(
        QStringLiteral("Delete %1?").arg(app_.appName),
        QStringLiteral("This removes all saved scan reports for %1. The app itself is not "
                       "affected.")
            .arg(app_.appName),
        QStringLiteral("Delete"), this);
    connect(box, &QDialog::accepted, this, &SidebarAppButton::deleteConfirmed);
    box->open();
}

} // namespace bw::window
