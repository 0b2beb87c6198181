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

std::vector<int> fittedWidths(const std::vector<int>& natural, int available) {
    std::vector<int> ascending = natural;
    std::ranges::sort(ascending);
    int remaining = std::max(available, 0);
    int cap = ascending.empty() ? 0 : ascending.back();
    for (std::size_t i = 0; i < ascending.size(); ++i) {
        const int share = remaining / int(ascending.size() - i);
        if (ascending[i] > share) {
            cap = share;
            break;
        }
        remaining -= ascending[i];
    }
    std::vector<int> widths;
    widths.reserve(natural.size());
    for (const int width : natural) {
        widths.push_back(std::min(width, cap));
    }
    return widths;
}

} // namespace bw::workspace
