#include "ui/window/GuidelinesView.h"

#include "model/GuidelineReference.h"
#include "model/ReportHelpers.h"
#include "ui/design/BareScrollArea.h"
#include "ui/design/BlockLayout.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Entrance.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Leading.h"
#include "ui/design/ListScreen.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/report/SearchField.h"
#include "ui/window/GuidelineCategoryChip.h"
#include "ui/window/GuidelineFilter.h"
#include "ui/window/GuidelineList.h"
#include "ui/window/GuidelineRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace bw::window {

namespace palette = design::palette;
using design::TextStyle;
using namespace report;

const QMargins columnMargins(34, 30, 34, 34);

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind guidelinesViewMotion = design::MotionKind::skipping();

constexpr qreal capsuleFillOpacity = 0.075; // white behind "Clear filters"

// The empty state's "Clear filters": a faint capsule with its title.
class CapsuleButton : public QAbstractButton {
public:
    CapsuleButton(const QString& title, QWidget* parent) : QAbstractButton(parent) {
        setText(title);
        setAccessibleName(title);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }
    QSize sizeHint() const override {
        const qreal text =
            QFontMetricsF(design::textStyleFont(TextStyle::label)).horizontalAdvance(this->text());
        return {int(std::ceil(text)) + 30, 34};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(design::capsulePath(QRectF(rect())),
                         QColor::fromRgbF(1, 1, 1, capsuleFillOpacity));
        painter.setFont(design::textStyleFont(TextStyle::label));
        painter.setPen(palette::textPrimary());
        design::drawText(painter, rect(), Qt::AlignCenter, text());
        design::paintCapsuleFocusRing(painter, *this);
    }
};

} // namespace

GuidelinesView::GuidelinesView(UrlOpener open, QWidget* parent)
    : QWidget(parent), open_(open ? std::move(open) : desktopUrlOpener()),
      scroll_(design::bareScrollArea(this)), column_(new QWidget),
      search_(new report::SearchField(QStringLiteral("Search guidelines"))) {
    setWindowTitle(QStringLiteral("Guidelines"));
    setAccessibleName(QStringLiteral("Guidelines"));
    auto* stack = design::placeColumn(this, scroll_, column_, 980, columnMargins, 26);
    QWidget* header = makeHeader();
    QWidget* controls = makeControls();
    stack->addWidget(header);
    stack->addWidget(controls);
    list_ = makeList();
    emptyState_ = makeEmptyState();
    stack->addWidget(list_);
    stack->addWidget(emptyState_);
    stack->addStretch();

    connect(search_, &report::SearchField::textChanged, this,
            [this] { refresh(guidelinesViewMotion.easeOut(0.18)); });
    // The empty state has no entrance of its own.
    design::enterOnFirstShow(this, {{header, 6}, {controls, 5}, {list_, 5}});
    refresh(design::Motion::none());
}

QWidget* GuidelinesView::makeHeader() {
    return design::makeScreenHeader(
        QStringLiteral("Guidelines"),
        QStringLiteral("Browse the Apple review rules most relevant to your next submission."),
        column_);
}

QWidget* GuidelinesView::makeControls() {
    auto* controls = new QWidget(column_);
    auto* column = new QVBoxLayout(controls);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    column->addWidget(search_);

    QBoxLayout* row = design::blockLayout(QBoxLayout::LeftToRight, 3);
    QWidget* chipRow = row->parentWidget();
    std::vector<std::optional<FindingCategory>> choices{std::nullopt};
    for (FindingCategory category : guidelineCategories()) {
        choices.emplace_back(category);
    }
    for (const auto& choice : choices) {
        auto* chip =
            new GuidelineCategoryChip(choice ? title(*choice) : QStringLiteral("All"), chipRow);
        chip->setSelected(!choice);
        connect(chip, &QAbstractButton::clicked, this, [this, choice] { selectCategory(choice); });
        row->addWidget(chip);
        chips_.emplace_back(choice, chip);
    }
    row->addStretch();
    // The chips scroll sideways when the window is too narrow for them.
    QScrollArea* scroller = design::bareScrollArea(controls);
    scroller->setFixedHeight(34);
    // Fixed, not the scroll area's own Expanding: the controls must not take the page's spare
    // height.
    scroller->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    design::setBareContent(*scroller, chipRow);
    column->addWidget(scroller);
    return controls;
}

GuidelineList* GuidelinesView::makeList() {
    auto* list = new GuidelineList(column_);
    for (const GuidelineReference& reference : GuidelineReference::all()) {
        auto* row = new GuidelineRow(reference);
        connect(row, &QAbstractButton::clicked, this, [this, url = reference.url] { open_(url); });
        list->addRow(row);
    }
    return list;
}

QWidget* GuidelinesView::makeEmptyState() {
    auto* clear = new CapsuleButton(QStringLiteral("Clear filters"), nullptr);
    connect(clear, &QAbstractButton::clicked, this, &GuidelinesView::clearFilters);
    auto* glass =
        new design::SymbolWidget(QStringLiteral("doc.text.magnifyingglass"), 26, QFont::Medium);
    glass->setColor(palette::textTertiary());
    auto* state = design::makeEmptyStateBlock(
        glass, QStringLiteral("No matching guidelines"),
        QStringLiteral("Try another search or show every category."), 11, column_);
    auto* layout = static_cast<QVBoxLayout*>(state->layout());
    layout->insertSpacing(layout->count() - 1, 3);
    layout->insertWidget(layout->count() - 1, clear, 0, Qt::AlignHCenter);
    return state;
}

GuidelineCategoryChip* GuidelinesView::chip(std::optional<FindingCategory> category) const {
    for (const auto& [choice, chip] : chips_) {
        if (choice == category) {
            return chip;
        }
    }
    return nullptr;
}

std::vector<GuidelineRow*> GuidelinesView::shownRows() const {
    return list_->shownRows();
}

void GuidelinesView::selectCategory(std::optional<FindingCategory> category) {
    selectedCategory_ = category;
    for (const auto& [choice, chip] : chips_) {
        chip->setSelected(choice == category);
    }
    refresh(guidelinesViewMotion.spring(0.24));
}

void GuidelinesView::clearFilters() {
    // Both in one change: the category first, so that emptying the field already shows every row.
    selectedCategory_.reset();
    search_->setText(QString());
    selectCategory(std::nullopt);
}

void GuidelinesView::refresh(const design::Motion& motion) {
    const auto shown = filteredGuidelines(selectedCategory_, search_->text());
    std::vector<bool> flags;
    for (const GuidelineReference& reference : GuidelineReference::all()) {
        flags.push_back(std::ranges::any_of(
            shown, [&](const GuidelineReference& r) { return r.id == reference.id; }));
    }
    list_->showRows(flags, motion);
    list_->setVisible(!shown.empty());
    emptyState_->setVisible(shown.empty());
}

void GuidelinesView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emptyState_->setMinimumHeight(std::max(height() - 220, 330));
}

} // namespace bw::window
