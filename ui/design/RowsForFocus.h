#pragma once

#include <QObject>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace bw::design {

// For a list that builds only the rows near what is seen: rows not built cannot take the focus,
// so the rows the focus may move to are built before it moves. While a key that may move the focus
// (Tab, an arrow, a page key) is handled in the list's window, those are the rows beside the row
// with the focus or, while the focus is outside the list, the first row and the last, where Tab
// comes into it; at other times only the row with the focus, which stays built wherever the list
// is scrolled.
class RowsForFocus : public QObject {
public:
    // `rebuild` runs once as such a key is pressed while `list` shows, and again once it has been
    // handled.
    RowsForFocus(QWidget& list, std::function<void()> rebuild);

    // Of `count` rows, with `focused` the one holding the focus, those to keep built.
    std::vector<std::size_t> rows(std::size_t count, std::optional<std::size_t> focused) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& list_;
    std::function<void()> rebuild_;
    bool isKeyPending_ = false;
};

} // namespace bw::design
