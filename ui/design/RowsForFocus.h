#pragma once

#include <QObject>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace bw::design {

// For a list that builds only the rows near what is seen: rows not built cannot take the focus,
// so the rows the focus may move to are built before it moves. While a key press anywhere in the
// application is being handled, those are the first row and the last, where Tab comes into the
// list, and those beside the row with the focus; at other times only the row with the focus,
// which stays built wherever the list is scrolled.
class RowsForFocus : public QObject {
public:
    // `rebuild` runs as a key press reaches the shown `list`, and again once it has been handled.
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
