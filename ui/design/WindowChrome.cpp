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
    : QObject(window), m_window(window), m_clock(clock ? *clock : SystemClock::shared()),
      m_demonstrationMode(demonstrationMode) {
    window->installEventFilter(this);
    if (window->isVisible()) {
        applyChrome();
    }
}

bool WindowChromeInstaller::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Show) {
        applyChrome();
    }
    return QObject::eventFilter(watched, event);
}

void WindowChromeInstaller::applyChrome() {
    QPalette windowPalette = m_window->palette();
    windowPalette.setColor(QPalette::Window, palette::canvas());
    m_window->setPalette(windowPalette);
    m_window->setAutoFillBackground(true);
    if (!m_demonstrationMode || m_didApplyDemonstrationFrame) {
        return;
    }
    m_didApplyDemonstrationFrame = true;
    // Dropped with the window if it closes first.
    m_clock.schedule(seconds(demonstrationDelaySeconds), m_window,
                     [window = m_window] { applyDemonstrationFrame(*window); });
}

} // namespace bw::design
