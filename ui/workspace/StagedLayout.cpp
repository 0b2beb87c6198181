#include "ui/workspace/StagedLayout.h"

#include <algorithm>

namespace bw::workspace {

namespace {

constexpr double compactBelowWidth = 860;
constexpr double shortBelowHeight = 650;
constexpr double maximumContentWidth = 1040;
constexpr double slotGaps = 4 * 18;

} // namespace

StagedLayout StagedLayout::forSize(QSizeF size) {
    StagedLayout layout{};
    layout.isCompact = size.width() < compactBelowWidth;
    layout.horizontalInset = layout.isCompact ? 24 : 36;
    layout.contentWidth =
        std::min(std::max(size.width() - 2 * layout.horizontalInset, 0.0), maximumContentWidth);
    layout.isShortHeight = size.height() < shortBelowHeight;
    layout.slotWidth = std::clamp((layout.contentWidth - slotGaps) / 5, 146.0, 188.0);
    return layout;
}

} // namespace bw::workspace
