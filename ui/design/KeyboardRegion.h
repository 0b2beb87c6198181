#pragma once

class QAbstractScrollArea;
class QWidget;

namespace bw::design {

// The window is read in regions (the sidebar, the page shown): the arrow keys on a button, or
// left alone by the focused control, move the focus to the next (Down, Right) or previous (Up,
// Left) stop of its region and come to rest at its ends, never crossing into another region as
// Qt's buttons would.
void keepArrowsWithin(QWidget& region);

// Makes `page` a region whose `scroll` area scrolls with Page Up, Page Down, Home and End while
// it is shown, wherever the focus is in its window, unless the focused control uses the key
// itself (a text field's Home and End). Where less than a page is left, Page Up and Page Down go
// all the way to the page's end, as every scrolling view does, whatever the edge then cuts. A
// control of the page that the scroll takes out of sight hands the focus to one in sight, or to
// `page` itself while none is.
void scrollWithPageKeys(QWidget& page, QAbstractScrollArea& scroll);

} // namespace bw::design
