#include "ui/report/FindingList.h"

#include "ui/design/FollowPointer.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Palette.h"
#include "ui/design/RowsForFocus.h"
#include "ui/report/FindingResolutionPanel.h"
#include "ui/report/FindingRow.h"
#include "ui/report/FindingRowHeader.h"

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <iterator>

namespace bw::report {
namespace {

constexpr int contentInset = 18;
constexpr int separatorPadding = 6;
constexpr int separatorBlock = separatorPadding * 2 + 1;
// Rows this far outside the viewport are built too, so a short scroll never shows a gap.
constexpr int nearbyMargin = 400;

} // namespace

FindingList::FindingList(const ReportContext& context, QWidget* parent)
    : QWidget(parent), context_(context),
      rowsForFocus_(new design::RowsForFocus(*this, [this] { updateVisibleRows(); })) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void FindingList::setFindings(std::vector<Finding> findings, BuildMetadata metadata,
                              std::optional<std::size_t> expandedRow) {
    while (!rows_.empty()) {
        dropRow(rows_.begin()->first);
    }
    findings_ = std::move(findings);
    metadata_ = std::move(metadata);
    expanded_ = expandedRow && *expandedRow < findings_.size() ? expandedRow : std::nullopt;
    measuredWidth_ = -1;
    updateVisibleRows();
}

void FindingList::setExpandedRow(std::optional<std::size_t> row) {
    if (row && *row >= findings_.size()) {
        row.reset();
    }
    if (row == expanded_) {
        return;
    }
    if (expanded_) {
        if (FindingRow* old = builtRow(*expanded_)) {
            old->setSelected(false);
        }
    }
    expanded_ = row;
    if (expanded_) {
        if (FindingRow* opened = builtRow(*expanded_)) {
            opened->setSelected(true);
        }
    }
    measuredWidth_ = -1;
    updateVisibleRows();
}

void FindingList::setViewport(QWidget* viewport) {
    if (viewport_) {
        viewport_->removeEventFilter(this);
    }
    viewport_ = viewport;
    // The viewport can grow without the list moving or changing its size (the screen's layout
    // gives the scroll area its height after the list has been placed): what comes into view
    // must be built then too.
    viewport_->installEventFilter(this);
    updateVisibleRows();
}

void FindingList::setTabAnchor(QWidget* anchor) {
    tabAnchor_ = anchor;
    chainTabOrder();
}

void FindingList::chainTabOrder() {
    // Rows are made as they come near the visible part, in no particular order, and a panel is
    // made on opening: Tab would otherwise follow the order they were made in.
    std::vector<QWidget*> stops;
    for (const auto& [index, row] : rows_) {
        stops.push_back(row->header());
        if (FindingResolutionPanel* panel = row->panel()) {
            std::ranges::copy(design::focusChainIn(*panel), std::back_inserter(stops));
        }
    }
    design::chainTabStops(tabAnchor_, stops);
}

FindingRow* FindingList::builtRow(std::size_t index) const {
    const auto found = rows_.find(index);
    return found == rows_.end() ? nullptr : found->second;
}

QRect FindingList::rowRect(std::size_t index) const {
    if (index >= tops_.size()) {
        return {};
    }
    return {0, tops_[index], width(), heights_[index]};
}

int FindingList::measuredHeight(std::size_t index, int width) {
    if (FindingRow* row = builtRow(index); row && row->showsPanel()) {
        return row->heightForWidth(width);
    }
    if (width != headerWidth_) {
        headerHeights_.clear();
        headerWidth_ = width;
    }
    const Finding& finding = findings_[index];
    auto cached = headerHeights_.constFind(finding.title);
    if (cached == headerHeights_.constEnd()) {
        cached = headerHeights_.insert(finding.title,
                                       FindingRowHeader::heightFor(finding, width, contentInset));
    }
    return *cached;
}

void FindingList::measure(int width) {
    if (width == measuredWidth_) {
        return;
    }
    if (expanded_) {
        buildRow(*expanded_);
    }
    measuredWidth_ = width;
    heights_.resize(findings_.size());
    tops_.resize(findings_.size());
    int top = 0;
    for (std::size_t i = 0; i < findings_.size(); ++i) {
        tops_[i] = top;
        heights_[i] = measuredHeight(i, width);
        top += heights_[i] + (i + 1 < findings_.size() ? separatorBlock : 0);
    }
    totalHeight_ = top;
}

QSize FindingList::sizeHint() const {
    return {480, totalHeight_};
}

std::pair<std::size_t, std::size_t> FindingList::nearbyRange() const {
    QRect visible = rect();
    if (viewport_) {
        visible = QRect(mapFrom(viewport_, QPoint(0, 0)), viewport_->size()).intersected(rect());
    }
    const int top = visible.top() - nearbyMargin;
    const int bottom = visible.bottom() + nearbyMargin;
    // The last row that starts above the range, or the first row.
    const auto after = std::upper_bound(tops_.begin(), tops_.end(), top);
    const std::size_t first = after == tops_.begin() ? 0 : (after - tops_.begin()) - 1;
    std::size_t last = first;
    while (last < tops_.size() && tops_[last] <= bottom) {
        ++last;
    }
    return {first, last};
}

std::vector<std::size_t> FindingList::rowsForFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    const auto focused = std::ranges::find_if(
        rows_, [&](const auto& built) { return built.second->isAncestorOf(focus); });
    return rowsForFocus_->rows(
        findings_.size(), focused == rows_.end() ? std::nullopt : std::optional(focused->first));
}

FindingRow* FindingList::buildRow(std::size_t index) {
    if (FindingRow* row = builtRow(index)) {
        return row;
    }
    auto* row = new FindingRow(findings_[index], metadata_, expanded_ == index, context_,
                               contentInset, this);
    connect(row, &FindingRow::toggled, this, [this, index] { emit rowToggled(index); });
    rows_.emplace(index, row);
    return row;
}

void FindingList::dropRow(std::size_t index) {
    FindingRow* row = builtRow(index);
    rows_.erase(index);
    // The row may be the sender of the click that led here.
    row->hide();
    row->deleteLater();
}

void FindingList::updateVisibleRows() {
    measure(width());
    // The height follows the width it was measured at; an open row settles its own height only
    // once it is laid out, and the column must follow.
    if (minimumHeight() != totalHeight_ || maximumHeight() != totalHeight_) {
        setFixedHeight(totalHeight_);
    }
    const auto [first, last] = nearbyRange();
    const std::vector<std::size_t> kept = rowsForFocus();
    std::vector<std::size_t> stale;
    for (const auto& [index, row] : rows_) {
        if ((index < first || index >= last) && expanded_ != index &&
            std::ranges::find(kept, index) == kept.end()) {
            stale.push_back(index);
        }
    }
    for (std::size_t index : stale) {
        dropRow(index);
    }
    for (std::size_t i = first; i < last; ++i) {
        buildRow(i);
    }
    for (std::size_t index : kept) {
        buildRow(index);
    }
    for (const auto& [index, row] : rows_) {
        row->setGeometry(rowRect(index));
        row->show();
    }
    // Rows moved under the pointer: the one now under it lights up.
    design::followPointer(*this);
    chainTabOrder();
    update();
}

bool FindingList::event(QEvent* event) {
    // An open row changed its height (its technical details opened or closed).
    if (event->type() == QEvent::LayoutRequest) {
        measuredWidth_ = -1;
        updateVisibleRows();
        return true;
    }
    return QWidget::event(event);
}

bool FindingList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_ && event->type() == QEvent::Resize) {
        updateVisibleRows();
    }
    return false;
}

void FindingList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateVisibleRows();
}

void FindingList::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QColor color = design::palette::separator();
    for (std::size_t i = 0; i + 1 < tops_.size(); ++i) {
        const int y = tops_[i] + heights_[i] + separatorPadding;
        if (y < event->rect().top() - 1 || y > event->rect().bottom() + 1) {
            continue;
        }
        painter.fillRect(QRect(contentInset, y, width() - 2 * contentInset, 1), color);
    }
}

} // namespace bw::report
