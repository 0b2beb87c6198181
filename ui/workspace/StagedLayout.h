#pragma once

#include <QSizeF>

namespace bw::workspace {

// The staged build screen's measures, worked out from the size it is offered (in points).
struct StagedLayout {
    bool isCompact;
    double horizontalInset;
    double contentWidth; // the column, at most 1040 wide
    bool isShortHeight;
    double slotWidth; // one review slot, 146 to 188 wide

    static StagedLayout forSize(QSizeF size);
};

} // namespace bw::workspace
