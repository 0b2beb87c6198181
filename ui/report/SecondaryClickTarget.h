#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

namespace bw::report {

// Catches right clicks on a widget and everything in it, and leaves every other mouse event to
// the widget: a click still presses its buttons, hover and scrolling still reach it. The action
// runs on a later turn of the event loop, never inside the mouse handling; it is not run when the
// widget is gone by then, and the action current at that moment is the one that runs. The
// keyboard's secondary click (the Menu key, Shift+F10) on the focused widget runs it at once.
class SecondaryClickTarget : public QObject {
    Q_OBJECT

public:
    SecondaryClickTarget(QWidget* target, std::function<void()> action);

    void setAction(std::function<void()> action) { action_ = std::move(action); }

    // Whether a right click at `point` (in the target's coordinates) is the target's.
    bool claims(QPoint point) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* target_;
    std::function<void()> action_;
};

} // namespace bw::report
