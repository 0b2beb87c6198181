#include "ui/design/FocusInView.h"

#include "ui/design/TextInk.h"

#include <QApplication>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace bw::design {

namespace {

constexpr char outlineProperty[] = "bw.drawsFocusRingWithin";
constexpr char fadeProperty[] = "bw.fadedEdgeLength";

// Room kept round a revealed control: its ring and a little air, so that it does not sit on the
// edge.
constexpr int margin = 12;
// Less room than this and the ring itself would touch the edge.
constexpr int ringMargin = 3;
// A control no larger than this along the scroll (a button, a field) is kept whole like a text.
constexpr int smallControl = 48;

// The widget whose outline shows that `widget` has the focus.
QWidget& outlineOf(QWidget& widget) {
    for (QWidget* outline = &widget; outline; outline = outline->parentWidget()) {
        if (outline->property(outlineProperty).toBool()) {
            return *outline;
        }
    }
    return widget;
}

// One way of a scroll area: along y for a vertical scroll, along x for a sideways one. Places
// are in the coordinates of the scrolled content.
struct Axis {
    QScrollBar& bar;
    int shown;
    int fade;

    static Axis of(QScrollArea& area, Qt::Orientation orientation) {
        const bool vertical = orientation == Qt::Vertical;
        const int fade = area.property(fadeProperty).toInt();
        return vertical ? Axis{*area.verticalScrollBar(), area.viewport()->height(), fade}
                        : Axis{*area.horizontalScrollBar(), area.viewport()->width(), fade};
    }

    // Where the content shows clear of the faded edges when scrolled to `value`: an edge where
    // the content ends does not fade.
    std::pair<int, int> clearAt(int value) const {
        const int edge = std::min(fade, shown / 2);
        const int start = value + (value > bar.minimum() ? edge : 0);
        const int end = value + shown - (value < bar.maximum() ? edge : 0);
        return {start, end};
    }
    // Whether [first, last] shows at `value`, `room` clear of the faded edges where it fits. A
    // control at an end of the content (the first of a row) gets only the room the content has
    // there: no scroll gives it more.
    bool shows(int first, int last, int value, int room) const {
        const auto [start, end] = clearAt(value);
        room = std::clamp((end - start - (last - first + 1)) / 2, 0, room);
        const int before = std::clamp(first - bar.minimum(), 0, room);
        const int after = std::clamp(bar.maximum() + shown - 1 - last, 0, room);
        return first - before >= start && last + after < end;
    }
    // The least scroll from `value` that shows [first, last] with `room` round it.
    int leastToShow(int first, int last, int value, int room) const {
        const int edge = std::min(fade, shown / 2);
        room = std::clamp((shown - 2 * edge - (last - first + 1)) / 2, 0, room);
        if (last + room + edge >= value + shown) {
            value = last + 1 + room + edge - shown;
        }
        if (first - room - edge < value) {
            value = first - room - edge;
        }
        return std::clamp(value, bar.minimum(), bar.maximum());
    }
};

struct Span {
    int first;
    int last;
};

// The texts the content shows within `band` (content coordinates), and its small controls, as
// far as the widgets round each let it show, along `orientation`. A control larger than a line
// (a row of a list) may be cut where no text of it is.
std::vector<Span> blocksOf(QWidget& content, Qt::Orientation orientation, const QRect& band) {
    const bool vertical = orientation == Qt::Vertical;
    const auto spanOf = [vertical](const QRectF& rect) {
        const QRect whole = rect.toAlignedRect();
        return vertical ? Span{whole.top(), whole.bottom()} : Span{whole.left(), whole.right()};
    };
    std::vector<Span> blocks;
    for (QWidget* widget : content.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&content)) {
            continue;
        }
        const QPoint offset = widget->mapTo(&content, QPoint());
        QRect seen(offset, widget->size());
        for (const QWidget* around = widget->parentWidget(); around != &content;
             around = around->parentWidget()) {
            seen &= QRect(around->mapTo(&content, QPoint()), around->size());
        }
        seen &= band;
        if (seen.isEmpty()) {
            continue;
        }
        const QSize size = widget->size();
        if ((widget->focusPolicy() & Qt::TabFocus) &&
            (vertical ? size.height() : size.width()) <= smallControl) {
            blocks.push_back(spanOf(seen));
        }
        for (const QRectF& ink : textInk(*widget)) {
            if (const QRectF shown = ink.translated(offset) & QRectF(seen); !shown.isEmpty()) {
                blocks.push_back(spanOf(shown));
            }
        }
    }
    return blocks;
}

// How many blocks the view's edges cut through at `value`.
int cutsAt(const std::vector<Span>& blocks, int value, int shown) {
    return int(std::ranges::count_if(blocks, [&](const Span& block) {
        const auto cuts = [&](int edge) { return block.first < edge && block.last >= edge; };
        return cuts(value) || cuts(value + shown);
    }));
}

// Of the places that show the stop, the one that cuts the fewest blocks at the edges, and of
// those the nearest to `value`.
int avoidCuts(const Axis& axis, const std::vector<Span>& blocks, const Span& stop, int value) {
    int best = value;
    std::pair<int, int> bestScore{cutsAt(blocks, value, axis.shown), 0};
    // Only where the stop can show.
    const int lowest = std::max(axis.bar.minimum(), stop.last + 1 - axis.shown);
    const int highest = std::min(axis.bar.maximum(), stop.first);
    for (int place = lowest; place <= highest; ++place) {
        if (!axis.shows(stop.first, stop.last, place, ringMargin)) {
            continue;
        }
        const std::pair<int, int> score{cutsAt(blocks, place, axis.shown), std::abs(place - value)};
        if (score < bestScore) {
            best = place;
            bestScore = score;
        }
    }
    return best;
}

// Where the stop lies on the scrolled content, along `orientation`.
Span spanOnPage(const QScrollArea& area, const QWidget& stop, Qt::Orientation orientation) {
    const QRect rect(stop.mapTo(area.widget(), QPoint()), stop.size());
    return orientation == Qt::Vertical ? Span{rect.top(), rect.bottom()}
                                       : Span{rect.left(), rect.right()};
}

// Whether the area shows the stop whole along `orientation`, with room for its ring.
bool showsWhole(QScrollArea& area, const QWidget& stop, Qt::Orientation orientation) {
    const Axis axis = Axis::of(area, orientation);
    const Span span = spanOnPage(area, stop, orientation);
    return axis.bar.maximum() == axis.bar.minimum() ||
           axis.shows(span.first, span.last, axis.bar.value(), ringMargin);
}

// The scroll areas round the stop's outline, the innermost first.
std::vector<QScrollArea*> areasAround(const QWidget& stop) {
    std::vector<QScrollArea*> areas;
    for (QWidget* around = stop.parentWidget(); around; around = around->parentWidget()) {
        auto* area = qobject_cast<QScrollArea*>(around);
        if (area && area->widget() && area->widget()->isAncestorOf(&stop)) {
            areas.push_back(area);
        }
    }
    return areas;
}

// Scrolls the least that shows what `place` gives with room round it, then to where the edges cut
// the fewest blocks. The content may build what comes into view as it scrolls (a list of rows
// made on demand): the place and the blocks are read again once it has.
void scrollToShow(QScrollArea& area, Qt::Orientation orientation,
                  const std::function<Span()>& place) {
    QWidget& content = *area.widget();
    const Axis axis = Axis::of(area, orientation);
    Span span = place();
    axis.bar.setValue(axis.leastToShow(span.first, span.last, axis.bar.value(), margin));
    span = place();
    // Wherever an edge may come to lie.
    const QRect band = orientation == Qt::Vertical
                           ? QRect(0, span.last + 1 - axis.shown, content.width(), 2 * axis.shown)
                           : QRect(span.last + 1 - axis.shown, 0, 2 * axis.shown, content.height());
    const std::vector<Span> blocks = blocksOf(content, orientation, band);
    axis.bar.setValue(avoidCuts(axis, blocks, span, axis.bar.value()));
}

void reveal(QScrollArea& area, const QWidget& stop, Qt::Orientation orientation) {
    if (!showsWhole(area, stop, orientation)) {
        scrollToShow(area, orientation, [&] { return spanOnPage(area, stop, orientation); });
    }
}

// Keeps a stop and the result of an action on it in view as the page round them changes, each
// time once the scroll areas have taken the change in, until the user moves on.
class ResultFollower : public QObject {
public:
    ResultFollower(QWidget& stop, QWidget& result) : QObject(&result), stop_(&stop) {
        qApp->installEventFilter(this);
        followLater();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            deleteLater();
            break;
        case QEvent::Resize:
            // The page grew or shrank; its scroll area takes that in first.
            if (isPageRound(*watched)) {
                followLater();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool isPageRound(const QObject& object) const {
        const auto areas = areasAround(*static_cast<QWidget*>(parent()));
        return std::ranges::any_of(areas,
                                   [&](QScrollArea* area) { return area->widget() == &object; });
    }

    void followLater() {
        if (!isFollowPending_) {
            isFollowPending_ = true;
            QTimer::singleShot(0, this, [this] { follow(); });
        }
    }

    void follow() {
        isFollowPending_ = false;
        auto* result = static_cast<QWidget*>(parent());
        if (!stop_ || !stop_->isVisible() || !result->isVisible()) {
            return;
        }
        // The innermost area first, as for the focus; along the page only, where results grow.
        for (QScrollArea* area : areasAround(*result)) {
            const Axis axis = Axis::of(*area, Qt::Vertical);
            // As much of the result as the view holds with the stop, and room round them for
            // the stop's ring clear of a faded edge.
            const int held = axis.shown - 2 * (std::min(axis.fade, axis.shown / 2) + margin);
            scrollToShow(*area, Qt::Vertical, [&] {
                const Span stop = spanOnPage(*area, *stop_, Qt::Vertical);
                const Span shown = spanOnPage(*area, *result, Qt::Vertical);
                const int most = stop.first + std::max(held, stop.last - stop.first + 1) - 1;
                return Span{std::min(stop.first, shown.first),
                            std::min(std::max(stop.last, shown.last), most)};
            });
        }
    }

    QPointer<QWidget> stop_;
    bool isFollowPending_ = false;
};

QPointer<ResultFollower> follower;

} // namespace

void revealFocus(QWidget& widget) {
    const QWidget& stop = outlineOf(widget);
    // The innermost area first: an outer one then shows where the inner one has put it.
    for (QScrollArea* area : areasAround(stop)) {
        reveal(*area, stop, Qt::Horizontal);
        reveal(*area, stop, Qt::Vertical);
    }
}

bool isShownWhole(QWidget& widget) {
    const QWidget& stop = outlineOf(widget);
    return stop.isVisible() && std::ranges::all_of(areasAround(stop), [&](QScrollArea* area) {
               return showsWhole(*area, stop, Qt::Horizontal) &&
                      showsWhole(*area, stop, Qt::Vertical);
           });
}

void followIntoView(QWidget& stop, QWidget& result) {
    delete follower.data();
    follower = new ResultFollower(stop, result);
}

void drawsFocusRingWithin(QWidget& outline) {
    outline.setProperty(outlineProperty, true);
}

void setFadedEdgeLength(QAbstractScrollArea& area, int length) {
    area.setProperty(fadeProperty, length);
}

} // namespace bw::design
