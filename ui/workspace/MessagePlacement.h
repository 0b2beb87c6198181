#pragma once

#include <QRect>
#include <span>

namespace bw::workspace {

// Where a page that scrolls under faded edges stands to show a message, and how much room its
// end gains for that.
struct MessagePlacement {
    int endRoom = 0;
    int place = 0;

    bool operator==(const MessagePlacement&) const = default;
};

// Rectangles are in the page's coordinates; `pageHeight` is the page's height without any room
// at its end, `shown` the height of the view onto it and `fade` how far its faded edges reach.
//
// The page goes to the place nearest `current` that shows the message clear of the faded edges,
// with each heading clear of them too or out of view. Where the page's end stops it short of
// that, the end gains the least room that lets the headings in the way scroll wholly out. Where
// even that cannot show the message clear (it is taller than the view), a heading is never cut
// while a place shows it whole with the message, clear of the fades if it can; failing all, the
// message shows whole.
MessagePlacement placeMessage(const QRect& message, std::span<const QRect> headings, int shown,
                              int pageHeight, int current, int fade);

} // namespace bw::workspace
