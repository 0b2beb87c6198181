#include "ui/report/ReportHistoryView.h"

#include "app/AppModel.h"
#include "ui/design/BareScrollArea.h"
#include "ui/design/ConfirmationDialog.h"
#include "ui/design/Entrance.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/ListScreen.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportHistoryEmptyPlane.h"
#include "ui/report/ReportHistoryFilterButton.h"
#include "ui/report/ReportHistoryList.h"
#include "ui/report/ReportHistoryRow.h"
#include "ui/report/SearchField.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace bw::report {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind reportHistoryViewMotion = design::MotionKind::skipping();

} // namespace

namespace palette = design::palette;
using design::TextStyle;

const QMargins columnMargins(34, 30, 34, 34);

ReportHistoryView::ReportHistoryView(AppModel& model, std::function<QDateTime()> now,
                                     QWidget* parent)
    : QWidget(parent), model_(model),
      now_(now ? std::move(now) : [] { return QDateTime::currentDateTime(); }),
      scroll_(design::bareScrollArea(this)), column_(new QWidget), list_(new ReportHistoryList),
      search_(new SearchField(QStringLiteral("Search reports"))) {
    setWindowTitle(QStringLiteral("Reports"));
    setAccessibleName(QStringLiteral("Reports"));
    QVBoxLayout* stack = design::placeColumn(this, scroll_, column_, 980, columnMargins, 26);
    scroll_->viewport()->installEventFilter(this);

    header_ = makeHeader();
    filterBar_ = makeFilterBar();
    // A notice may name a file: wrapped inside its path too, and the path can be copied.
    notice_ = new ReadingText({}, TextStyle::caption, palette::danger(), 0, Selection::on, column_);
    emptyHistory_ = makeEmptyHistory();
    noMatch_ = makeNoMatch();
    for (QWidget* block : std::initializer_list<QWidget*>{header_, notice_, filterBar_,
                                                          emptyHistory_, noMatch_, list_}) {
        stack->addWidget(block);
    }
    stack->addStretch();
    list_->setViewport(scroll_->viewport());

    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, list_,
            &ReportHistoryList::updateVisibleRows);
    connect(search_, &SearchField::textChanged, this, [this] { reload(); });
    // A deleted report's row fades out as a filtered-out one does.
    connect(&model_, &AppModel::reportsChanged, this, [this] { reload(rowsLeaving()); });
    connect(&model_, &AppModel::reportNoticeChanged, this, [this] { reload(); });
    connect(list_, &ReportHistoryList::openRequested, this,
            [this](const ScanReport& report) { model_.openReport(report); });
    connect(list_, &ReportHistoryList::revealBuildRequested, this,
            [this](const ScanReport& report) { model_.revealReport(report); });
    connect(list_, &ReportHistoryList::deleteRequested, this, &ReportHistoryView::askToDelete);
    // The state of a search without hits has no entrance of its own.
    design::enterOnFirstShow(
        this, {{header_, 6}, {notice_, 5}, {filterBar_, 5}, {emptyHistory_, 5}, {list_, 5}});
    reload();
}

QWidget* ReportHistoryView::makeHeader() {
    return design::makeScreenHeader(QStringLiteral("Reports"),
                                    QStringLiteral("Review recent scans and reopen any build."),
                                    column_);
}

QWidget* ReportHistoryView::makeFilterBar() {
    auto* bar = new QWidget(column_);
    // In the bar before the chips, so that Tab reaches the search field first.
    search_->setParent(bar);
    auto* chips = new QWidget(bar);
    auto* chipRow = new QHBoxLayout(chips);
    chipRow->setContentsMargins(0, 0, 0, 0);
    chipRow->setSpacing(3);
    for (ReportHistoryFilter filter : reportHistoryFilters) {
        auto* chip = new ReportHistoryFilterButton(title(filter), chips);
        chip->setSelected(filter == filter_);
        connect(chip, &QAbstractButton::clicked, this, [this, filter] { setFilter(filter); });
        chipRow->addWidget(chip);
        chips_.push_back(chip);
    }
    // One row while it fits, else the chips under the search field.
    auto* layout = new QBoxLayout(QBoxLayout::LeftToRight, bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(search_);
    layout->addStretch();
    layout->addWidget(chips, 0, Qt::AlignLeft);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    // Fixed height: stacked, the stretch would otherwise take the page's spare height.
    bar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    bar->installEventFilter(this);
    return bar;
}

QWidget* ReportHistoryView::makeEmptyHistory() {
    return design::makeEmptyStateBlock(
        new ReportHistoryEmptyPlane, QStringLiteral("No reports yet"),
        QStringLiteral("Completed scans will appear here for quick review."), 13, column_);
}

QWidget* ReportHistoryView::makeNoMatch() {
    auto* glass =
        new design::SymbolWidget(QStringLiteral("doc.text.magnifyingglass"), 26, QFont::Medium);
    glass->setColor(palette::textTertiary());
    return design::makeEmptyStateBlock(
        glass, QStringLiteral("No matching reports"),
        QStringLiteral("Try another app name, bundle ID, or status."), 11, column_);
}

ReportHistoryFilterButton* ReportHistoryView::filterButton(ReportHistoryFilter filter) const {
    return chips_[std::size_t(filter)];
}

void ReportHistoryView::setFilter(ReportHistoryFilter filter) {
    if (filter == filter_) {
        return;
    }
    filter_ = filter;
    for (ReportHistoryFilter each : reportHistoryFilters) {
        filterButton(each)->setSelected(each == filter);
    }
    reload(rowsLeaving());
}

design::Motion ReportHistoryView::rowsLeaving() {
    return reportHistoryViewMotion.spring(0.26);
}

void ReportHistoryView::reload(const design::Motion& leaving) {
    const std::vector<ScanReport>& reports = model_.reports();
    const bool empty = reports.empty();
    header_->setVisible(!empty);
    filterBar_->setVisible(!empty);
    emptyHistory_->setVisible(empty);
    // A failed deletion is told here too: the alert has closed and the row is still listed.
    const std::optional<QString>& notice = model_.reportNotice();
    notice_->setText(notice.value_or(QString()));
    notice_->setVisible(notice.has_value() && !empty);
    for (ReportHistoryFilter filter : reportHistoryFilters) {
        filterButton(filter)->setCount(count(reports, filter));
    }
    arrangeFilterBar();
    auto shown = filteredReports(reports, filter_, search_->text());
    noMatch_->setVisible(!empty && shown.empty());
    list_->setVisible(!shown.empty());
    list_->setSections(sections(shown, now_()), now_(), leaving);
    updateMinimumHeights();
}

void ReportHistoryView::askToDelete(const ScanReport& report) {
    if (confirmation_) {
        return;
    }
    pendingDeletion_ = report;
    confirmation_ = new design::ConfirmationDialog(
        QStringLiteral("Delete report?"),
        QStringLiteral("This removes the saved %1 report from this computer.")
            .arg(report.metadata.appName),
        QStringLiteral("Delete report"), this);
    connect(confirmation_, &QDialog::accepted, this, [this] {
        if (pendingDeletion_) {
            const std::size_t place = listedPlace(pendingDeletion_->id);
            model_.deleteReport(pendingDeletion_->id);
            focusListedAfterDeletion(place);
        }
    });
    connect(confirmation_, &QDialog::finished, this, [this] { pendingDeletion_.reset(); });
    confirmation_->open();
}

std::vector<QUuid> ReportHistoryView::listedIDs() const {
    std::vector<QUuid> ids;
    for (const ReportHistorySection& section : list_->sections()) {
        for (const ScanReport* report : section.reports) {
            ids.push_back(report->id);
        }
    }
    return ids;
}

std::size_t ReportHistoryView::listedPlace(const QUuid& id) const {
    const std::vector<QUuid> ids = listedIDs();
    return std::size_t(std::ranges::find(ids, id) - ids.begin());
}

void ReportHistoryView::focusListedAfterDeletion(std::size_t place) {
    // The row that took the deleted one's place, or the one before it when it was the last; the
    // same row when the deletion failed.
    const std::vector<QUuid> ids = listedIDs();
    if (ids.empty()) {
        return;
    }
    ReportHistoryRow* row = list_->rowFor(ids[std::min(place, ids.size() - 1)]);
    if (row) {
        design::focusAfterKeyboardAction(*row);
    }
}

void ReportHistoryView::updateMinimumHeights() {
    const int visible = scroll_->viewport()->height();
    emptyHistory_->setMinimumHeight(std::max(390, visible - 64));
    noMatch_->setMinimumHeight(std::max(360, visible - 190));
}

bool ReportHistoryView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == scroll_->viewport()) {
            updateMinimumHeights();
            list_->updateVisibleRows();
        } else if (watched == filterBar_) {
            arrangeFilterBar();
        }
    }
    return false;
}

void ReportHistoryView::arrangeFilterBar() {
    // The chips grow with their counts, so the row is measured anew.
    const int chips = chips_.front()->parentWidget()->sizeHint().width();
    const bool fits = filterBar_->width() >= search_->width() + 18 + chips;
    auto* layout = static_cast<QBoxLayout*>(filterBar_->layout());
    layout->setDirection(fits ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    layout->setSpacing(fits ? 18 : 14);
}

} // namespace bw::report
