#pragma once

#include <QSizeF>
#include <vector>

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

// Widths for cells side by side in `available`: each at its natural width when all fit;
// otherwise the widest are cut down to one common width, so the short ones stay whole and the
// longest gives way.
std::vector<int> fittedWidths(const std::vector<int>& natural, int available);

} // namespace bw::workspace
