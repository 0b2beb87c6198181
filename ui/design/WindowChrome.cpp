#include "platform/clock/SystemClock.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/Palette.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace bw::design {

namespace {

constexpr double demonstrationDelaySeconds = 0.2;
constexpr QSize demonstrationContentSize(1120, 640);

void applyDemonstrationFrame(QWidget& window) {
    window.resize(demonstrationContentSize);
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size();
    window.move(available.right() + 1 - frame.width(), available.bottom() + 1 - frame.height());
}

} // namespace

WindowChromeInstaller::WindowChromeInstaller(QWidget* window, bool demonstrationMode, Clock* clock)
    : QObject(window), window_(window), clock_(clock ? *clock : SystemClock::shared()),
      demonstrationMode_(demonstrationMode) {
    window->installEventFilter(this);
    if (window->isVisible()) {
        applyChrome();
    }
}

bool WindowChromeInstaller::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Show) {
        applyChrome();
    }
    return QObject::eventFilter(watched, event);
}

void WindowChromeInstaller::applyChrome() {
    QPalette windowPalette = window_->palette();
    windowPalette.setColor(QPalette::Window, palette::windowBackground());
    window_->setPalette(windowPalette);
    window_->setAutoFillBackground(true);
    if (!demonstrationMode_ || didApplyDemonstrationFrame_) {
        return;
    }
    didApplyDemonstrationFrame_ = true;
    // Dropped with the window if it closes first.
    clock_.schedule(seconds(demonstrationDelaySeconds), window_,
                    [window = window_] { applyDemonstrationFrame(*window); });
}

} // namespace bw::design
