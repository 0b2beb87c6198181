#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace bw {
class Clock;
}

namespace bw::design {

// A translucent surface: a tint of `baseColor` at `baseOpacity` and a diagonal sheen, or
// `baseColor` alone, solid, while the user asks for reduced transparency. Fills its size.
class BerthwatchGlassBackdrop : public QWidget {
    Q_OBJECT
public:
    BerthwatchGlassBackdrop(const QColor& baseColor, double baseOpacity, double sheenOpacity,
                            QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor baseColor_;
    double baseOpacity_;
    double sheenOpacity_;
};

// The palette of standard widgets (menus, dialogs, scroll bars) in the dark scheme.
QPalette darkPalette();

// Styles the one window: the desktop keeps its title bar, the content is the dark canvas. In
// demonstration mode it also gives the window, once and shortly after it first shows, a content
// size of 1120 × 640 and a place in the lower-right corner of the screen's available area. The
// delay runs on `clock`; none means the real clock.
class WindowChromeInstaller : public QObject {
    Q_OBJECT
public:
    WindowChromeInstaller(QWidget* window, bool demonstrationMode, Clock* clock = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyChrome();

    QWidget* window_;
    Clock& clock_;
    bool demonstrationMode_;
    bool didApplyDemonstrationFrame_ = false;
};

} // namespace bw::design
