#include "ui/report/ReportHistoryList.h"

#include "ui/design/Entrance.h"
#include "ui/design/FocusInView.h"
#include "ui/design/FollowPointer.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/RowsForFocus.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReportHistoryRow.h"

#include <QPaintEvent>
#include <QPainter>
#include <QSet>
#include <algorithm>

namespace bw::report {

namespace palette = design::palette;
using design::TextStyle;

namespace {

constexpr int sectionSpacing = 26;
constexpr int headerSpacing = 10;
constexpr int separatorHeight = 1 + 2 * 5;

int headerHeight() {
    return int(
        std::ceil(std::max(QFontMetricsF(design::textStyleFont(TextStyle::eyebrow)).height(),
                           QFontMetricsF(design::textStyleFont(TextStyle::monoCaption)).height())));
}

} // namespace

ReportHistoryList::ReportHistoryList(QWidget* parent)
    : QWidget(parent),
      rowsForFocus_(new design::RowsForFocus(*this, [this] { updateVisibleRows(); })) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ReportHistoryList::setSections(std::vector<ReportHistorySection> sections,
                                    const QDateTime& now, const design::Motion& leaving) {
    QSet<QUuid> listed;
    for (const ReportHistorySection& section : sections) {
        for (const ScanReport* report : section.reports) {
            listed.insert(report->id);
        }
    }
    sections_ = std::move(sections);
    now_ = now;
    // Every row may now show another report: give them all back and place them anew, all but the
    // one with the focus, which hiding would pass on as Tab does. That one stays with its report,
    // wherever that is now, and a ring on it stays in sight; when its report has gone, the list
    // holds the focus.
    ReportHistoryRow* focused = nullptr;
    for (auto& [index, row] : shown_) {
        const bool isListed = listed.contains(row->report().id);
        if (row->hasFocus()) {
            if (isListed) {
                focused = row;
                continue;
            }
            setFocus(Qt::OtherFocusReason);
        }
        if (!isListed) {
            design::playExit(row, 0, leaving);
        }
        row->hide();
        spare_.push_back(row);
    }
    shown_.clear();
    layoutEntries();
    if (focused) {
        const auto entry = std::ranges::find_if(
            entries_, [&](const Entry& e) { return e.report->id == focused->report().id; });
        focused->setReport(*entry->report, now_);
        focused->setGeometry(0, entry->top, width(), rowHeight_);
        shown_[std::size_t(entry - entries_.begin())] = focused;
    }
    updateVisibleRows();
    update();
    if (focused && design::showsFocusRing(*focused)) {
        design::revealFocus(*focused);
    }
}

void ReportHistoryList::setViewport(QWidget* viewport) {
    viewport_ = viewport;
}

int ReportHistoryList::heightForWidth(int width) const {
    const int row = ReportHistoryRow::rowHeight(width);
    int height = 0;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const int rows = int(sections_[i].reports.size());
        height += (i > 0 ? sectionSpacing : 0) + headerHeight() + headerSpacing + rows * row +
                  (rows - 1) * separatorHeight;
    }
    return height;
}

QSize ReportHistoryList::sizeHint() const {
    const int width = this->width() > 0 ? this->width() : ReportHistoryRow::wideLayoutWidth;
    return {ReportHistoryRow::wideLayoutWidth, heightForWidth(width)};
}

void ReportHistoryList::layoutEntries() {
    entries_.clear();
    headers_.clear();
    rowHeight_ = ReportHistoryRow::rowHeight(width());
    int top = 0;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const ReportHistorySection& section = sections_[i];
        top += i > 0 ? sectionSpacing : 0;
        headers_.push_back({top, section.title.toUpper(), qsizetype(section.reports.size())});
        top += headerHeight() + headerSpacing;
        for (std::size_t r = 0; r < section.reports.size(); ++r) {
            const bool last = r + 1 == section.reports.size();
            entries_.push_back({top, section.reports[r], last});
            top += rowHeight_ + (last ? 0 : separatorHeight);
        }
    }
    totalHeight_ = top;
    if (height() != totalHeight_) {
        setFixedHeight(totalHeight_);
    }
}

void ReportHistoryList::resizeEvent(QResizeEvent*) {
    if (ReportHistoryRow::rowHeight(width()) != rowHeight_ || totalHeight_ != height()) {
        layoutEntries();
    }
    for (auto& [index, row] : shown_) {
        row->setGeometry(0, entries_[index].top, width(), rowHeight_);
    }
    updateVisibleRows();
}

QRect ReportHistoryList::visibleArea() const {
    if (!viewport_) {
        return rect();
    }
    const QRect seen(mapFrom(viewport_, QPoint(0, 0)), viewport_->size());
    // A screenful above and below, so a short scroll finds its rows ready.
    return seen.adjusted(0, -seen.height(), 0, seen.height()).intersected(rect());
}

ReportHistoryRow* ReportHistoryList::takeRow(const QUuid& report) {
    // The row that showed the report last has its icon decoded already: the rows built for a
    // key press come back at every key.
    auto found = std::ranges::find_if(
        spare_, [&](const ReportHistoryRow* row) { return row->report().id == report; });
    if (found == spare_.end() && !spare_.empty()) {
        found = std::prev(spare_.end());
    }
    if (found != spare_.end()) {
        ReportHistoryRow* row = *found;
        spare_.erase(found);
        return row;
    }
    auto* row = new ReportHistoryRow(this);
    connect(row, &ReportHistoryRow::openRequested, this, &ReportHistoryList::openRequested);
    connect(row, &ReportHistoryRow::revealBuildRequested, this,
            &ReportHistoryList::revealBuildRequested);
    connect(row, &ReportHistoryRow::deleteRequested, this, &ReportHistoryList::deleteRequested);
    return row;
}

std::vector<std::size_t> ReportHistoryList::entriesForFocus() const {
    const auto focused =
        std::ranges::find_if(shown_, [](const auto& shown) { return shown.second->hasFocus(); });
    return rowsForFocus_->rows(
        entries_.size(), focused == shown_.end() ? std::nullopt : std::optional(focused->first));
}

void ReportHistoryList::updateVisibleRows() {
    const QRect area = visibleArea();
    const auto first = std::partition_point(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.top + rowHeight_ <= area.top();
    });
    const auto last = std::partition_point(first, entries_.end(),
                                           [&](const Entry& e) { return e.top < area.bottom(); });
    const std::size_t begin = std::size_t(first - entries_.begin());
    const std::size_t end = std::size_t(last - entries_.begin());
    const std::vector<std::size_t> kept = entriesForFocus();
    const auto isKept = [&](std::size_t index) {
        return std::ranges::find(kept, index) != kept.end();
    };
    for (auto it = shown_.begin(); it != shown_.end();) {
        if ((it->first < begin || it->first >= end) && !isKept(it->first)) {
            it->second->hide();
            spare_.push_back(it->second);
            it = shown_.erase(it);
        } else {
            ++it;
        }
    }
    bool placed = false;
    const auto place = [&](std::size_t index) {
        if (shown_.contains(index)) {
            return;
        }
        ReportHistoryRow* row = takeRow(entries_[index].report->id);
        row->setReport(*entries_[index].report, now_);
        row->setGeometry(0, entries_[index].top, width(), rowHeight_);
        row->show();
        shown_[index] = row;
        placed = true;
    };
    for (std::size_t index = begin; index < end; ++index) {
        place(index);
    }
    for (std::size_t index : kept) {
        place(index);
    }
    // Reused and late-made rows would otherwise keep the Tab order of their making; rows that
    // only leave keep the others in order.
    if (placed) {
        std::vector<QWidget*> stops;
        for (const auto& [index, row] : shown_) {
            stops.push_back(row);
        }
        design::chainTabStops(design::tabStopBefore(*this), stops);
    }
    // Rows moved under the pointer: the one now under it lights up.
    design::followPointer(*this);
}

ReportHistoryRow* ReportHistoryList::rowFor(const QUuid& id) const {
    for (const auto& [index, row] : shown_) {
        if (entries_[index].report->id == id) {
            return row;
        }
    }
    return nullptr;
}

std::vector<ReportHistoryRow*> ReportHistoryList::visibleRows() const {
    std::vector<ReportHistoryRow*> rows;
    for (const auto& [index, row] : shown_) {
        rows.push_back(row);
    }
    return rows;
}

void ReportHistoryList::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    const QFont eyebrow = design::textStyleFont(TextStyle::eyebrow);
    const QFont count = design::textStyleFont(TextStyle::monoCaption);
    const int height = headerHeight();
    for (const Header& header : headers_) {
        if (header.top > dirty.bottom() || header.top + height < dirty.top()) {
            continue;
        }
        painter.setFont(eyebrow);
        painter.setPen(palette::textTertiary());
        const QRectF titleRect(2, header.top, width() - 4, height);
        QRectF used;
        design::drawText(painter, design::leading(*this, titleRect),
                         Qt::AlignLeft | Qt::AlignVCenter, header.title, &used);
        painter.setFont(count);
        painter.setPen(palette::withOpacity(palette::textTertiary(), 0.8));
        design::drawText(painter,
                         design::leading(*this, titleRect.adjusted(used.width() + 8, 0, 0, 0)),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::number(header.count));
    }
    const QColor separator = palette::separator();
    for (const Entry& entry : entries_) {
        const int y = entry.top + rowHeight_ + 5;
        if (!entry.lastInSection && y >= dirty.top() && y <= dirty.bottom()) {
            painter.fillRect(QRect(16, y, width() - 32, 1), separator);
        }
    }
}

} // namespace bw::report
