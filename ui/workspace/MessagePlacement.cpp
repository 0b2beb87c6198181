#include "ui/workspace/MessagePlacement.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace bw::workspace {
namespace {

struct Page {
    int shown;
    int maximum;
    int fade;

    // Whether `rect` shows whole at `place`, and with `clear` also clear of the faded edges; an
    // edge where the page ends does not fade.
    bool shows(const QRect& rect, int place, bool clear) const {
        const int top = clear && place > 0 ? fade : 0;
        const int bottom = clear && place < maximum ? fade : 0;
        return rect.top() - top >= place && rect.bottom() + bottom < place + shown;
    }

    bool showsOrHides(const QRect& rect, int place, bool clear) const {
        return shows(rect, place, clear) || rect.bottom() < place || rect.top() >= place + shown;
    }
};

// The place nearest `current` where `fits` holds, among those where a rectangle starts or stops
// showing, clear or whole.
template <typename Fits>
std::optional<int> nearestPlace(const Page& page, const QRect& message,
                                std::span<const QRect> headings, int current, Fits fits) {
    std::vector<int> places{current, 0, page.maximum};
    std::vector<QRect> rects(headings.begin(), headings.end());
    rects.push_back(message);
    for (const QRect& rect : rects) {
        for (const int edge : {0, page.fade}) {
            places.insert(places.end(), {rect.top() - edge, rect.bottom() + 1 + edge - page.shown,
                                         rect.bottom() + 1, rect.top() - page.shown});
        }
    }
    std::optional<int> best;
    for (int place : places) {
        place = std::clamp(place, 0, page.maximum);
        if (fits(place) && (!best || std::abs(place - current) < std::abs(*best - current))) {
            best = place;
        }
    }
    return best;
}

} // namespace

MessagePlacement placeMessage(const QRect& message, std::span<const QRect> headings, int shown,
                              int pageHeight, int current, int fade) {
    // The view stretches a short page to its own height; room at the end counts only beyond it.
    const auto maximumWith = [&](int room) { return std::max(0, pageHeight + room - shown); };
    const auto headingsShow = [&](const Page& page, int place, bool clear) {
        return std::ranges::all_of(headings, [&](const QRect& heading) {
            return page.showsOrHides(heading, place, clear);
        });
    };

    // With no room, or with just enough that the page can end where a heading has gone.
    std::vector<int> rooms{0};
    for (const QRect& heading : headings) {
        if (heading.bottom() + 1 > maximumWith(0)) {
            rooms.push_back(heading.bottom() + 1 + shown - pageHeight);
        }
    }
    std::ranges::sort(rooms);
    for (const int room : rooms) {
        const Page page{shown, maximumWith(room), fade};
        const auto place = nearestPlace(page, message, headings, current, [&](int at) {
            return page.shows(message, at, true) && headingsShow(page, at, true);
        });
        if (place) {
            return {room, *place};
        }
    }

    const Page page{shown, maximumWith(0), fade};
    const std::function<bool(int)> tiers[] = {
        [&](int at) { return page.shows(message, at, true) && headingsShow(page, at, false); },
        [&](int at) { return page.shows(message, at, false) && headingsShow(page, at, false); },
        [&](int at) { return page.shows(message, at, true); },
        [&](int at) { return page.shows(message, at, false); },
    };
    for (const auto& fits : tiers) {
        if (const auto place = nearestPlace(page, message, headings, current, fits)) {
            return {0, *place};
        }
    }
    // Its top, where it is taller than the view.
    return {0, std::clamp(message.top(), 0, page.maximum)};
}

} // namespace bw::workspace
