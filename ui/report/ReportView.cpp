#include "ui/report/ReportView.h"

#include "app/AppModel.h"
#include "ui/design/BareScrollArea.h"
#include "ui/design/Entrance.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/KeyboardRegion.h"
#include "ui/design/Labels.h"
#include "ui/design/OnDeviceLine.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/report/ColumnStack.h"
#include "ui/report/EmptyFindingsView.h"
#include "ui/report/FindingList.h"
#include "ui/report/PassedChecksView.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportMetricTiles.h"
#include "ui/report/ReportNewScanButton.h"
#include "ui/report/ReportOverviewView.h"
#include "ui/report/ReportTexts.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <map>

namespace bw::report {
namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind reportViewMotion = design::MotionKind::skipping();

namespace palette = design::palette;
using design::TextStyle;

constexpr int maximumContentWidth = 1320;
constexpr int sideMargin = 28;
constexpr int verticalMargin = 22;

design::Motion filterMotion() {
    return reportViewMotion.spring(0.36);
}

// The model's notice above the filter bar, with a rule under it and room below.
class NoticeRow : public QWidget {
public:
    explicit NoticeRow(const QString& notice) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(4, 10, 4, 10 + 1 + 18);
        layout->setSpacing(7);
        auto* symbol = new design::SymbolWidget(QStringLiteral("arrow.triangle.2.circlepath"), 12,
                                                QFont::Normal);
        symbol->setColor(palette::textSecondary());
        layout->addWidget(symbol, 0, Qt::AlignTop);
        // It may name a file: wrapped inside its path too, and the path can be copied.
        layout->addWidget(new ReadingText(notice, TextStyle::subtitle, palette::textSecondary(), 0,
                                          Selection::on),
                          1);
        setAccessibleName(notice);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(0, height() - 18 - 1, width(), 1), palette::rule());
    }
};

// The scrolling content: one column min(1320, W − 56) wide, centred, 22 above and below. Laid
// out by hand because a box layout asks an aligned item for its height at the full width.
class CentredColumn : public QWidget {
public:
    explicit CentredColumn(QWidget* column) : column_(column) {
        column_->setParent(this);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    static int columnWidth(int width) {
        return std::min(maximumContentWidth, std::max(0, width - 2 * sideMargin));
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        return column_->heightForWidth(columnWidth(width)) + 2 * verticalMargin;
    }
    QSize sizeHint() const override { return {800, heightForWidth(800)}; }
    QSize minimumSizeHint() const override {
        return {column_->minimumSizeHint().width() + 2 * sideMargin, 0};
    }

protected:
    bool event(QEvent* event) override {
        // The column's size changed: the scroll area asks again, and the column is placed anew.
        if (event->type() == QEvent::LayoutRequest) {
            updateGeometry();
            place();
        }
        return QWidget::event(event);
    }
    void resizeEvent(QResizeEvent*) override { place(); }

private:
    void place() {
        const int width = columnWidth(this->width());
        column_->setGeometry((this->width() - width) / 2, verticalMargin, width,
                             column_->heightForWidth(width));
    }

    QWidget* column_;
};

QWidget* privacyLine() {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(32, 6, 32, 12);
    layout->addWidget(new design::OnDeviceLine);
    return holder;
}

} // namespace

ReportView::ReportView(const ReportContext& context, const ScanReport& report, QWidget* parent)
    : QWidget(parent), context_(context), report_(report), scrollArea_(design::bareScrollArea()),
      column_(new ColumnStack), filterBar_(new ReportFilterBar), section_(new ColumnStack),
      findingList_(new FindingList(context_)), emptyFindings_(new EmptyFindingsView),
      passedChecks_(new PassedChecksView), newScanButton_(new ReportNewScanButton) {
    setWindowTitle(report_.metadata.appName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scrollArea_, 1);
    layout->addWidget(privacyLine());

    // Stacked, never stretched: while a filter change settles, the overview and the filter bar
    // keep their place, and so does the content shown under them.
    auto* content = new CentredColumn(column_);
    for (QWidget* part :
         std::initializer_list<QWidget*>{findingList_, emptyFindings_, passedChecks_}) {
        section_->insert(-1, part);
    }
    column_->insert(-1, filterBar_);
    column_->insert(-1, section_);

    design::setBareContent(*scrollArea_, content);
    design::scrollWithPageKeys(*this, *scrollArea_);
    for (QWidget* clear : {static_cast<QWidget*>(scrollArea_), scrollArea_->viewport(),
                           static_cast<QWidget*>(content)}) {
        clear->setAttribute(Qt::WA_TranslucentBackground);
    }
    findingList_->setViewport(scrollArea_->viewport());
    findingList_->setTabAnchor(filterBar_->chip(ReportFilterChoice::passed));
    connect(scrollArea_->verticalScrollBar(), &QScrollBar::valueChanged, findingList_,
            &FindingList::updateVisibleRows);

    AppModel& model = context_.model;
    connect(&model, &AppModel::findingFilterChanged, this, &ReportView::updateSection);
    connect(&model, &AppModel::selectedFindingIDChanged, this, &ReportView::updateExpandedRow);
    connect(&model, &AppModel::reportNoticeChanged, this, &ReportView::updateNotice);
    connect(filterBar_, &ReportFilterBar::chipClicked, this, &ReportView::chipClicked);
    connect(findingList_, &FindingList::rowToggled, this, [this](std::size_t row) {
        const auto visible = visibleFindings();
        if (row < visible.size()) {
            toggleFinding(visible[row].id);
        }
    });
    connect(newScanButton_, &QAbstractButton::clicked, this, &ReportView::startNewScan);

    buildOverview();
    updateNotice();
    updateSection();
    presentEntrance();
}

ReportView::~ReportView() {
    delete newScanButton_.data();
}

void ReportView::setReport(const ScanReport& report) {
    const bool isNewReport = report.id != report_.id;
    // Focus on a part about to be rebuilt stays in the report, on the filter bar.
    QWidget* focus = QApplication::focusWidget();
    const bool focusIsRebuilt =
        focus && (overview_->isAncestorOf(focus) || section_->isAncestorOf(focus));
    report_ = report;
    setWindowTitle(report_.metadata.appName);
    if (isNewReport) {
        // The new report starts from its top, its findings listed, and comes in hidden: the
        // old report's content goes at once, without leaving pictures of itself behind.
        isPassedSelected_ = false;
        isPresented_ = false;
        scrollArea_->verticalScrollBar()->setValue(0);
        design::endExits(this);
    }
    buildOverview();
    isListStale_ = true;
    updateSection();
    if (isNewReport) {
        presentEntrance();
    }
    if (focusIsRebuilt) {
        filterBar_->chip(filterBar_->choice())->setFocus(Qt::OtherFocusReason);
    }
}

void ReportView::buildOverview() {
    // The counts of the report shown before roll to this report's.
    std::map<QString, qint64> previous;
    if (overview_) {
        for (const CompactReportMetric* tile : overview_->findChildren<CompactReportMetric*>()) {
            previous[tile->title()] = tile->value();
        }
    }
    delete overview_;
    overview_ = new ReportOverviewView(report_);
    for (CompactReportMetric* tile : overview_->findChildren<CompactReportMetric*>()) {
        if (const auto before = previous.find(tile->title());
            before != previous.end() && before->second != tile->value()) {
            tile->rollFrom(before->second);
        }
    }
    overview_->setContentsMargins(0, 0, 0, 24);
    column_->insert(0, overview_);
}

void ReportView::updateNotice() {
    delete noticeRow_;
    noticeRow_ = nullptr;
    if (const auto& notice = context_.model.reportNotice()) {
        noticeRow_ = new NoticeRow(*notice);
        column_->insert(column_->indexOf(filterBar_), noticeRow_);
    }
}

std::vector<Finding> ReportView::visibleFindings() const {
    return report::visibleFindings(report_, context_.model.findingFilter());
}

ReportFilterChoice ReportView::currentChoice() const {
    if (isPassedSelected_) {
        return ReportFilterChoice::passed;
    }
    const auto& filter = context_.model.findingFilter();
    if (!filter) {
        return ReportFilterChoice::all;
    }
    return static_cast<ReportFilterChoice>(static_cast<int>(*filter) + 1);
}

void ReportView::updateSection() {
    const auto filter = context_.model.findingFilter();
    filterBar_->setReport(report_, isPassedSelected_);
    auto visible = visibleFindings();
    const SectionContent content = isPassedSelected_ ? SectionContent::passed
                                   : visible.empty() ? SectionContent::empty
                                                     : SectionContent::findings;
    if (filterBar_->choice() != currentChoice()) {
        // Until the entrance has begun the section is hidden and the entrance brings in what
        // it shows; the capsule moves either way.
        if (isPresented_) {
            changeSectionContent(content);
        }
        filterBar_->setChoice(currentChoice(), filterMotion());
    }
    shownContent_ = content;
    passedChecks_->setVisible(content == SectionContent::passed);
    emptyFindings_->setVisible(content == SectionContent::empty);
    findingList_->setVisible(content == SectionContent::findings);
    if (isPassedSelected_) {
        passedChecks_->setChecks(report_.passedChecks);
    }
    emptyFindings_->setFilter(filter);
    if (isListStale_ || listedFilter_ != filter) {
        isListStale_ = false;
        listedFilter_ = filter;
        const auto expanded = report::expandedRow(visible, context_.model.selectedFindingID());
        findingList_->setFindings(std::move(visible), report_.metadata, expanded);
    }
    // The new content stands in its place in the next frame.
    section_->relayout();
}

void ReportView::changeSectionContent(SectionContent next) {
    // The empty state comes and goes at 0.99 of its size; the lists only fade. Between two lists
    // of findings the rows leave sinking 4 points and the new ones come in from 4 below.
    const auto scale = [](SectionContent content) {
        return content == SectionContent::empty ? 0.99 : 1.0;
    };
    const bool rowsMove = next == SectionContent::findings && shownContent_ == next;
    if (next == shownContent_ && !rowsMove) {
        return;
    }
    const qreal shift = rowsMove ? 4 : 0;
    design::playExit(section_, shift, filterMotion(), scale(shownContent_));
    QWidget* entering = next == SectionContent::passed  ? static_cast<QWidget*>(passedChecks_)
                        : next == SectionContent::empty ? static_cast<QWidget*>(emptyFindings_)
                                                        : findingList_;
    design::playEntrance(entering, shift, filterMotion(), 0, scale(next));
}

void ReportView::updateExpandedRow() {
    findingList_->setExpandedRow(
        report::expandedRow(visibleFindings(), context_.model.selectedFindingID()));
}

void ReportView::chipClicked(ReportFilterChoice choice) {
    // The page shortened by a filter leaves no heading cut at its top.
    design::revealAfterKeyboardAction(*filterBar_->chip(choice), *filterBar_->chip(choice));
    switch (choice) {
    case ReportFilterChoice::all:
        applyFilterChange([this] { showAllFindings(); });
        return;
    case ReportFilterChoice::blockers:
    case ReportFilterChoice::risks:
    case ReportFilterChoice::manual: {
        const auto severity = static_cast<FindingSeverity>(static_cast<int>(choice) - 1);
        applyFilterChange([this, severity] { selectSeverity(severity); });
        return;
    }
    case ReportFilterChoice::passed:
        togglePassedChecks();
        return;
    }
}

void ReportView::showAllFindings() {
    isPassedSelected_ = false;
    context_.model.setFindingFilter(std::nullopt);
    updateSection();
}

void ReportView::selectSeverity(FindingSeverity severity) {
    isPassedSelected_ = false;
    context_.model.setFindingFilter(severity);
    updateSection();
}

void ReportView::applyFilterChange(const std::function<void()>& action) {
    action();
    context_.model.setSelectedFindingID(std::nullopt);
}

void ReportView::togglePassedChecks() {
    isPassedSelected_ = !isPassedSelected_;
    context_.model.setFindingFilter(std::nullopt);
    context_.model.setSelectedFindingID(std::nullopt);
    updateSection();
}

void ReportView::toggleFinding(const QString& findingID) {
    const auto& selected = context_.model.selectedFindingID();
    context_.model.setSelectedFindingID(selected == findingID ? std::nullopt
                                                              : std::optional(findingID));
}

void ReportView::startNewScan() {
    // The button goes with the report: its focus passes into the report, and from there, as any
    // focus on a screen that leaves, to the screen that takes its place.
    if (newScanButton_->hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
    context_.model.resetForNewScan();
}

void ReportView::presentEntrance() {
    // The overview rises 8 and the findings 6 into place as they fade in; the filter bar is
    // there from the start.
    const auto motion = reportViewMotion.spring(0.44);
    isPresented_ = motion.isInstant();
    design::playEntrance(overview_, 8, motion);
    design::playEntrance(section_, 6, motion);
    // Presented once the hidden state has been drawn and the fade begins.
    QTimer::singleShot(0, this, [this, id = report_.id] {
        if (report_.id == id) {
            isPresented_ = true;
        }
    });
}

void ReportView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emptyFindings_->setContainerHeight(scrollArea_->viewport()->height());
}

} // namespace bw::report
