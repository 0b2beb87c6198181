#include "ui/design/RowsForFocus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

namespace bw::design {

namespace {

// Tab and Shift+Tab, the arrows, and the page keys, which hand the focus to a control in sight.
bool movesFocus(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

RowsForFocus::RowsForFocus(QWidget& list, std::function<void()> rebuild)
    : QObject(&list), list_(list), rebuild_(std::move(rebuild)) {
    qApp->installEventFilter(this);
}

bool RowsForFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !list_.isVisible() ||
        !movesFocus(*static_cast<QKeyEvent*>(event))) {
        return false;
    }
    // Once a press: as it reaches the control with the focus (the window, where none has it),
    // the first on its way up, in the list's own window.
    QWidget* receiver =
        QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    if (watched != receiver || receiver->window() != list_.window()) {
        return false;
    }
    if (!isKeyPending_) {
        // Once the key has done its work, only the rows near the visible part stay.
        QTimer::singleShot(0, this, [this] {
            isKeyPending_ = false;
            rebuild_();
        });
    }
    isKeyPending_ = true;
    rebuild_();
    return false;
}

std::vector<std::size_t> RowsForFocus::rows(std::size_t count,
                                            std::optional<std::size_t> focused) const {
    std::vector<std::size_t> rows;
    if (isKeyPending_ && count > 0 && !focused) {
        rows = {0, count - 1};
    }
    if (focused) {
        rows.push_back(*focused);
        if (isKeyPending_ && *focused > 0) {
            rows.push_back(*focused - 1);
        }
        if (isKeyPending_ && *focused + 1 < count) {
            rows.push_back(*focused + 1);
        }
    }
    return rows;
}

} // namespace bw::design
