#include "ui/design/RowsForFocus.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace bw::design {

RowsForFocus::RowsForFocus(QWidget& list, std::function<void()> rebuild)
    : QObject(&list), list_(list), rebuild_(std::move(rebuild)) {
    qApp->installEventFilter(this);
}

bool RowsForFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && list_.isVisible()) {
        if (!isKeyPending_) {
            // Once the key has done its work, only the rows near the visible part stay.
            QTimer::singleShot(0, this, [this] {
                isKeyPending_ = false;
                rebuild_();
            });
        }
        isKeyPending_ = true;
        rebuild_();
    }
    return QObject::eventFilter(watched, event);
}

std::vector<std::size_t> RowsForFocus::rows(std::size_t count,
                                            std::optional<std::size_t> focused) const {
    std::vector<std::size_t> rows;
    if (isKeyPending_ && count > 0) {
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
