#include "ui/design/Design.h"

#include "ui/design/BundledFonts.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/TextStyle.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QIconEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QtDebug>
#include <fontconfig/fontconfig.h>
#include <future>

// Resource initialisers of a static library must be called by name, outside any namespace.
static void initBundledFontResources() {
    Q_INIT_RESOURCE(bundled_fonts);
}

namespace bw::design {

QString textFamily() {
    return QStringLiteral("Inter");
}

QString monospacedFamily() {
    return QStringLiteral("JetBrains Mono");
}

QString symbolFamily() {
    return QStringLiteral("Material Icons");
}

QString emojiFamily() {
    return QStringLiteral("Noto Color Emoji");
}

namespace {

// Asks the style for its icon only when it is drawn. The menu bar makes its overflow button's
// icon as it is built, and reading that image file first looks through every image plug-in:
// time spent before the first frame on a button that shows only when the menus do not fit.
class DeferredStyleIcon : public QIconEngine {
public:
    DeferredStyleIcon(const QStyle* style, QStyle::StandardPixmap which)
        : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QIconEngine* clone() const override { return new DeferredStyleIcon(style_, which_); }

private:
    const QIcon& icon() {
        if (!icon_) {
            icon_ = style_->standardIcon(which_);
        }
        return *icon_;
    }

    const QStyle* style_;
    QStyle::StandardPixmap which_;
    std::optional<QIcon> icon_;
};

class WindowStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton ||
            which == SP_ToolBarVerticalExtensionButton) {
            return QIcon(new DeferredStyleIcon(baseStyle(), which));
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }

    // A folder in the file chooser opens on a double-click, as on the Mac, also on desktops that
    // open items on a single click: there the double-click's second click landed in the folder
    // the first had opened and chose whatever lay under the pointer.
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_ItemView_ActivateItemOnSingleClick) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }

    // Fusion marks a menu of the bar only while it is open: the bar taking the keys (Alt) marks
    // the menu that Down would open the same way, or nothing would show where the keys went.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget &&
            widget->hasFocus()) {
            QStyleOptionMenuItem marked(*item);
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// The configuration being read, if it was started.
std::future<void> fontConfiguration;

} // namespace

void startReadingFontConfiguration() {
    fontConfiguration = std::async(std::launch::async, [] { FcInit(); });
}

bool registerBundledFonts() {
    initBundledFontResources();
    // The font list is read first: a font registered before it loses to a system font of the same
    // name, and a machine with these fonts installed drew its own copies, the symbols from a WOFF2
    // file decoded on first use.
    QFontDatabase::families();
    const QStringList files = QDir(QStringLiteral(":/fonts")).entryList(QDir::Files);
    bool allRegistered = !files.isEmpty();
    for (const QString& file : files) {
        if (QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/") + file) < 0) {
            qWarning() << "Could not register the bundled font" << file;
            allRegistered = false;
        }
    }
    return allRegistered;
}

void installDesign(QApplication& application) {
    if (fontConfiguration.valid()) {
        fontConfiguration.get();
    }
    registerBundledFonts();
    application.setStyle(new WindowStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    application.setPalette(darkPalette());
    // A text that sets no font of its own takes the body's face, size and weight, untracked: the
    // tracking belongs to the body role, not to every text.
    const TextMetrics body = textStyleMetrics(TextStyle::body);
    application.setFont(systemFont(body.pixelSize, body.weight, body.design));
    trackKeyboardFocus(application);
}

} // namespace bw::design
