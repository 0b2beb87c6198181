#include "ui/workspace/StagedBuildView.h"

#include "app/AppModel.h"
#include "app/UpdateController.h"
#include "model/RawValue.h"
#include "platform/locale/NumberFormatting.h"
#include "ui/design/BareScrollArea.h"
#include "ui/design/BlockLayout.h"
#include "ui/design/CollapsingBox.h"
#include "ui/design/Entrance.h"
#include "ui/design/Hairline.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/KeyboardRegion.h"
#include "ui/design/Labels.h"
#include "ui/design/OnDeviceLine.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextBlock.h"
#include "ui/design/TextInk.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/BuildMetadataItem.h"
#include "ui/workspace/IPhoneReviewSlot.h"
#include "ui/workspace/ReviewScreensSection.h"
#include "ui/workspace/ScrollEdgeFade.h"
#include "ui/workspace/StagedAppIcon.h"
#include "ui/workspace/StagedLayout.h"
#include "ui/workspace/StagedMetadataItem.h"
#include "ui/workspace/StagedPrimaryButton.h"
#include "ui/workspace/StagedTextButton.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind stagedBuildViewMotion = design::MotionKind::skipping();

namespace palette = design::palette;

constexpr int maximumColumnWidth = 1040;

QScrollArea* bareScrollArea(Qt::Orientation scrolls) {
    QScrollArea* scroll = design::bareScrollArea();
    scroll->setSizePolicy(QSizePolicy::Expanding,
                          scrolls == Qt::Vertical ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    return scroll;
}

// The lowest end, at most `height`, for a view over the top of `page` that leaves no line of its
// text cut or in the outer half of the faded edge, where it reads as cut; `height` itself where
// that end would take more than half the view.
int viewEndClearOfText(QWidget& page, int height) {
    // Only the lower half of the view matters: the end goes no higher.
    const QRect band(0, height / 2, page.width(), height - height / 2);
    std::vector<QRect> lines;
    for (QWidget* widget : page.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&page)) {
            continue;
        }
        const QPoint offset = widget->mapTo(&page, QPoint());
        QRect seen(offset, widget->size());
        for (const QWidget* around = widget->parentWidget(); around != &page;
             around = around->parentWidget()) {
            seen &= QRect(around->mapTo(&page, QPoint()), around->size());
        }
        if (!seen.intersects(band)) {
            continue;
        }
        for (const QRectF& ink : design::textInk(*widget)) {
            if (const QRect line = ink.translated(offset).toAlignedRect(); line.intersects(seen)) {
                lines.push_back(line);
            }
        }
    }
    int end = height;
    for (bool moved = true; moved;) {
        moved = false;
        for (const QRect& line : lines) {
            if (line.top() < end && line.bottom() >= end - ScrollEdgeFade::length / 2) {
                end = line.top();
                moved = true;
            }
        }
    }
    return end >= height / 2 ? end : height;
}

// Horizontal margins that keep a column of at most 1040 centred, inset from the screen's edges.
QMargins columnMargins(const StagedLayout& layout, int width, int top, int bottom) {
    const int side =
        int(std::lround(std::max(layout.horizontalInset, (width - layout.contentWidth) / 2)));
    return {side, top, side, bottom};
}

} // namespace

StagedBuildView::StagedBuildView(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    header_ = makeHeader();
    root->addWidget(header_);

    scroll_ = bareScrollArea(Qt::Vertical);
    design::scrollWithPageKeys(*this, *scroll_);
    auto* column = new QWidget;
    columnLayout_ = new QVBoxLayout(column);
    columnLayout_->setSpacing(0);
    buildSection_ = makeBuildSection();
    columnLayout_->addWidget(buildSection_);
    columnLayout_->addWidget(new design::Hairline(palette::rule()));
    section_ = new ReviewScreensSection(model_);
    sectionHolder_ = new QWidget;
    sectionPadding_ = new QVBoxLayout(sectionHolder_);
    sectionPadding_->setContentsMargins(0, 0, 0, 0);
    sectionPadding_->setSpacing(0);
    sectionPadding_->addWidget(section_);
    columnLayout_->addWidget(sectionHolder_);
    columnLayout_->addStretch();
    design::setBareContent(*scroll_, column);
    pageFade_ = new ScrollEdgeFade(scroll_, Qt::Vertical);
    root->addWidget(scroll_, 1);
    // A message (a refused image, a cancelled or failed scan) stands right under the page, or
    // under the part of it in view: seen wherever the page stands, without scrolling the build's
    // name away. A page shorter than the room keeps its height, the message close below it.
    messageHolder_ = new QWidget;
    messageLayout_ = new QVBoxLayout(messageHolder_);
    messageLayout_->addWidget(section_->importMessage());
    root->addWidget(messageHolder_);
    root->addStretch(0);
    footer_ = makeFooter();
    root->addWidget(footer_);
    // The page's view follows what the page holds and what stands round it.
    for (QWidget* watched : {column, static_cast<QWidget*>(scroll_), header_, messageHolder_}) {
        watched->installEventFilter(this);
    }

    connect(&model_, &AppModel::stagedChanged, this, &StagedBuildView::showStaged);
    connect(&model_, &AppModel::isStagedPreviewLoadingChanged, this, &StagedBuildView::showStaged);
    connect(&model_, &AppModel::scanPhaseChanged, this, &StagedBuildView::showAction);
    connect(&model_, &AppModel::isUpdateRequiredChanged, this, &StagedBuildView::showAction);
    showStaged();
    applyLayout();
}

void StagedBuildView::setScanRequest(std::function<void()> onRequestScan) {
    onRequestScan_ = std::move(onRequestScan);
}

void StagedBuildView::setUpdateController(UpdateController* updates) {
    updates_ = updates;
    showAction();
}

void StagedBuildView::setFileChooser(FileChooser* chooser) {
    section_->setFileChooser(chooser);
}

QWidget* StagedBuildView::makeHeader() {
    auto* header = new QWidget;
    auto* titles = new QWidget(header);
    auto* titlesLayout = new QVBoxLayout(titles);
    titlesLayout->setContentsMargins(0, 0, 0, 0);
    titlesLayout->setSpacing(4);
    titlesLayout->addWidget(design::makeLabel(QStringLiteral("Review your build"),
                                              design::TextStyle::screenTitle,
                                              palette::textPrimary()));
    auto* subtitle = new design::TextBlock(design::TextBlock::Lines::two,
                                           design::textStyleFont(design::TextStyle::subtitle),
                                           palette::textSecondary());
    subtitle->setText(QStringLiteral("Confirm the build details and add any screens an App Review "
                                     "reviewer may need to inspect."));
    titlesLayout->addWidget(subtitle);

    headerLayout_ = new QHBoxLayout(header);
    headerLayout_->setSpacing(18);
    headerLayout_->addWidget(titles, 1);
    headerLayout_->addSpacing(12);
    actionSlot_ = new QHBoxLayout;
    actionSlot_->setContentsMargins(0, 0, 0, 0);
    headerLayout_->addLayout(actionSlot_);
    return header;
}

QWidget* StagedBuildView::makeBuildSection() {
    auto* section = new QWidget;
    buildLayout_ = new QVBoxLayout(section);
    buildLayout_->setSpacing(15);

    auto* identity = new QHBoxLayout;
    identity->setSpacing(12);
    icon_ = new StagedAppIcon;
    identity->addWidget(icon_);
    auto* status = new QVBoxLayout;
    status->setSpacing(4);
    name_ = new design::ElidedText({}, design::TextStyle::sectionTitle, palette::textPrimary(),
                                   Qt::ElideRight);
    // The name gives way to the status and metadata to the last letter.
    name_->setMinimumWidth(1);
    status->addWidget(name_);
    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(4);
    statusSymbol_ = new design::SymbolWidget({}, 10, QFont::DemiBold);
    status_ = design::makeLabel({}, design::TextStyle::stagedStatus, palette::textSecondary());
    statusRow->addWidget(statusSymbol_);
    statusRow->addWidget(status_);
    statusRow->addStretch();
    status->addLayout(statusRow);
    identity->addLayout(status, 1);
    buildLayout_->addLayout(identity);

    previewError_ = new QWidget;
    auto* errorLayout = new QVBoxLayout(previewError_);
    errorLayout->setContentsMargins(0, 0, 0, 0);
    errorLayout->setSpacing(8);
    previewErrorText_ =
        new design::TextBlock(design::TextBlock::Lines::asNeeded,
                              design::textStyleFont(design::TextStyle::caption), palette::danger());
    errorLayout->addWidget(previewErrorText_);
    auto* retry =
        new StagedTextButton(QStringLiteral("Retry preview"), QStringLiteral("arrow.clockwise"));
    connect(retry, &QAbstractButton::clicked, this, [this] { model_.loadStagedPreview(); });
    errorLayout->addWidget(retry, 0, Qt::AlignLeft);
    previewError_->hide();
    buildLayout_->addWidget(previewError_);
    return section;
}

QWidget* StagedBuildView::makeFooter() {
    auto* footer = new QWidget;
    footerLayout_ = new QVBoxLayout(footer);
    footerLayout_->addWidget(new design::OnDeviceLine);
    return footer;
}

QWidget* StagedBuildView::makeActionArea() {
    const ScanPhase& phase = model_.scanPhase();
    if (const auto* failed = std::get_if<ScanPhase::Failed>(&phase.state)) {
        return makeFailurePanel(failed->message);
    }
    if (std::holds_alternative<ScanPhase::Preparing>(phase.state)) {
        return makePhaseProgress(QStringLiteral("Preparing artifact"), 0.02);
    }
    if (const auto* scanning = std::get_if<ScanPhase::Scanning>(&phase.state)) {
        return makePhaseProgress(scanning->message, scanning->progress);
    }
    return makeScanButton(QStringLiteral("Scan build"));
}

QWidget* StagedBuildView::makeScanButton(const QString& title) {
    auto* button = new StagedPrimaryButton(title, {}, true);
    const auto& staged = model_.staged();
    button->setEnabled(!(staged && staged->previewError));
    connect(button, &QAbstractButton::clicked, this, &StagedBuildView::requestScan);
    return button;
}

QWidget* StagedBuildView::makeFailurePanel(const QString& message) {
    QBoxLayout* row = design::blockLayout(QBoxLayout::LeftToRight, 10);
    QWidget* panel = row->parentWidget();
    auto* text =
        new design::TextBlock(design::TextBlock::Lines::two,
                              design::textStyleFont(design::TextStyle::caption), palette::danger());
    text->setText(message);
    text->setMaximumWidth(220);
    row->addWidget(text, 0, Qt::AlignVCenter);
    if (model_.isUpdateRequired()) {
        auto* update = new StagedTextButton(QStringLiteral("Check for updates"),
                                            QStringLiteral("arrow.down.circle"));
        update->setEnabled(updates_ && updates_->isAvailable());
        connect(update, &QAbstractButton::clicked, this, [this] {
            if (updates_) {
                updates_->checkForUpdates();
            }
        });
        row->addWidget(update);
    } else {
        row->addWidget(makeScanButton(QStringLiteral("Try again")));
    }
    return panel;
}

QWidget* StagedBuildView::makePhaseProgress(const QString& message, double progress) {
    auto* panel = new QWidget;
    panel->setFixedWidth(236);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    auto* line = new QHBoxLayout;
    auto* text = design::makeLabel(message, design::TextStyle::label, palette::textPrimary());
    text->setMinimumWidth(1);
    line->addWidget(text, 1);
    line->addWidget(design::makeLabel(locale::wholePercent(progress),
                                      design::TextStyle::monoCaption, palette::textSecondary()));
    column->addLayout(line);
    auto* bar = new QProgressBar;
    bar->setRange(0, 1000);
    bar->setValue(int(std::lround(std::clamp(progress, 0.0, 1.0) * 1000)));
    bar->setTextVisible(false);
    bar->setFixedHeight(4);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Highlight, palette::accent());
    bar->setPalette(barPalette);
    column->addWidget(bar);
    return panel;
}

QWidget* StagedBuildView::makeMetadataRow(const StagedBuild& staged) {
    const auto items = metadataItems(staged, model_.isStagedPreviewLoading());
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(isCompact_ ? 1 : 0, 0, isCompact_ ? 1 : 0, 0);
    layout->setSpacing(0);
    metadataCells_.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* cell = new BuildMetadataItem(items[i].title, items[i].value, items[i].monospaced);
        if (isCompact_) {
            cell->setFixedWidth(int(items[i].compactWidth));
        }
        metadataCells_.push_back(cell);
        layout->addWidget(cell);
        if (i + 1 < items.size()) {
            layout->addSpacing(separatorSpace());
            layout->addWidget(new design::Hairline(palette::rule(), 24));
            layout->addSpacing(separatorSpace());
        }
    }
    layout->addStretch();
    if (!isCompact_) {
        fitMetadataCells();
        return row;
    }
    auto* scroll = bareScrollArea(Qt::Horizontal);
    design::setBareContent(*scroll, row);
    new ScrollEdgeFade(scroll, Qt::Horizontal);
    scroll->setFixedHeight(row->sizeHint().height());
    return scroll;
}

int StagedBuildView::separatorSpace() const {
    return isCompact_ ? 16 : 14;
}

// Beside the column's width each cell keeps its natural width; when they do not all fit, the
// longest values give way first.
void StagedBuildView::fitMetadataCells() {
    if (isCompact_ || metadataCells_.empty()) {
        return;
    }
    std::vector<int> natural;
    for (const auto* cell : metadataCells_) {
        natural.push_back(cell->sizeHint().width());
    }
    const int separators = int(metadataCells_.size() - 1) * (1 + 2 * separatorSpace());
    const int available = int(StagedLayout::forSize(size()).contentWidth) - separators;
    const auto widths = fittedWidths(natural, available);
    for (std::size_t i = 0; i < metadataCells_.size(); ++i) {
        metadataCells_[i]->setFixedWidth(widths[i]);
    }
}

void StagedBuildView::showStaged() {
    const auto& staged = model_.staged();
    if (!staged) {
        return; // the home screen replaces this screen once nothing is staged
    }
    // Another build starts at the top of the page, where its name is.
    if (staged->id != shownBuild_) {
        shownBuild_ = staged->id;
        scroll_->verticalScrollBar()->setValue(0);
    }
    const bool loading = model_.isStagedPreviewLoading();
    const auto& preview = staged->preview;
    const QString name = preview ? preview->appName : staged->fileName;
    icon_->setIcon(preview ? preview->iconPNG : std::nullopt, name, loading && !preview);
    name_->setText(name);
    if (loading) {
        statusSymbol_->setSymbol(QStringLiteral("hourglass"));
        status_->setText(QStringLiteral("Reading build"));
    } else if (staged->previewError) {
        statusSymbol_->setSymbol(QStringLiteral("exclamationmark.circle.fill"));
        status_->setText(QStringLiteral("Preview unavailable"));
    } else {
        statusSymbol_->setSymbol(QStringLiteral("checkmark.circle.fill"));
        status_->setText(QStringLiteral("Ready to scan"));
    }
    const QColor statusColor = loading                ? palette::textSecondary()
                               : staged->previewError ? palette::danger()
                                                      : palette::success();
    statusSymbol_->setColor(statusColor);
    design::setTextColor(status_, statusColor);
    previewError_->setVisible(staged->previewError.has_value());
    previewErrorText_->setText(staged->previewError.value_or(QString()));

    auto* metadata = makeMetadataRow(*staged);
    if (metadata_) {
        delete buildLayout_->replaceWidget(metadata_, metadata);
        delete metadata_;
    } else {
        buildLayout_->addWidget(metadata);
    }
    metadata_ = metadata;
    metadata->show(); // now, not on a later turn: the row is never missing for a moment
    showAction();
}

void StagedBuildView::showAction() {
    auto* action = makeActionArea();
    if (action_) {
        delete actionSlot_->replaceWidget(action_, action);
    } else {
        actionSlot_->addWidget(action);
    }
    action->show(); // now, not on a later turn: the screen is never without its action
    if (action_) {
        design::passFocusOn(*action_, *action);
        delete action_;
    }
    action_ = action;
    leadTabOrderWithAction();
}

// Made anew for each phase, the action's controls would come last in the Tab order; they lead
// the page. Again once shown in the window: made before, the page's Tab order is its own, where
// the stop before the header is the page's last.
void StagedBuildView::leadTabOrderWithAction() {
    if (action_) {
        design::chainTabStops(design::tabStopBefore(*header_), design::focusChainIn(*action_));
    }
}

void StagedBuildView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void StagedBuildView::applyLayout() {
    const StagedLayout layout = StagedLayout::forSize(size());
    const bool compactChanged = layout.isCompact != isCompact_;
    isCompact_ = layout.isCompact;
    headerLayout_->setContentsMargins(columnMargins(layout, width(), 20, 12));
    columnLayout_->setContentsMargins(columnMargins(layout, width(), 0, 0));
    buildLayout_->setContentsMargins(0, isCompact_ ? 12 : 14, 0, isCompact_ ? 18 : 20);
    // The bottom is the page's blank end, fitted to the room.
    sectionPadding_->setContentsMargins(0, isCompact_ ? 18 : 22, 0,
                                        sectionPadding_->contentsMargins().bottom());
    const int footerInset = layout.isShortHeight ? 18 : 26;
    footerLayout_->setContentsMargins(0, 0, 0, footerInset);
    messageLayout_->setContentsMargins(columnMargins(layout, width(), 0, 0));
    icon_->setSide(isCompact_ ? 46 : 50);
    section_->setLayoutMetrics(isCompact_, layout.slotWidth, layout.contentWidth);
    if (compactChanged) {
        showStaged();
    } else {
        fitMetadataCells();
    }
    fitPageHeight();
}

void StagedBuildView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    leadTabOrderWithAction();
    if (!hasAppeared_) {
        hasAppeared_ = true;
        markAppeared();
    }
}

// The header, the build section, the review screens and then each slot, left to right, fade in
// as they rise into place; all at once with reduce motion.
void StagedBuildView::markAppeared() {
    const auto spring = [](double response) { return stagedBuildViewMotion.spring(response, 1); };
    design::playEntrance(header_, 6, spring(0.4));
    design::playEntrance(buildSection_, 8, spring(0.42), 40);
    design::playEntrance(sectionHolder_, 10, spring(0.44), 80);
    for (const auto prompt : allCases<ScreenshotPrompt>()) {
        design::playEntrance(section_->slot(prompt), 8, spring(0.38), 120 + 35 * int(prompt));
    }
}

// The room under the slot row, then the section's own inset at the page's end.
int StagedBuildView::trailingSpace() const {
    return isCompact_ ? 16 + 16 : 18 + 20;
}

// The blank under the slot row gives way before the page's view scrolls: what the page shows
// then fits whole, nothing faded at its end. A page that scrolls all the same keeps its blank
// end, and its view ends short of any line of text its faded edge would cut.
void StagedBuildView::fitPageHeight() {
    // Measuring the text lays the page out, which may bring us back here.
    if (isFitting_) {
        return;
    }
    const QScopedValueRollback fitting(isFitting_, true);
    QWidget& page = *scroll_->widget();
    const int width = scroll_->viewport()->width();
    const int room =
        std::max(height() - header_->height() - messageHolder_->height() - footer_->height(), 0);
    QMargins sectionMargins = sectionPadding_->contentsMargins();
    const int content =
        (page.hasHeightForWidth() ? page.heightForWidth(width) : page.sizeHint().height()) -
        sectionMargins.bottom();
    const bool fits = content <= room;
    const int blank = fits ? std::min(trailingSpace(), room - content) : trailingSpace();
    if (blank != sectionMargins.bottom()) {
        sectionMargins.setBottom(blank);
        sectionPadding_->setContentsMargins(sectionMargins);
    }
    // Text is measured once the page is shown.
    scroll_->setMaximumHeight(fits ? content + blank : isVisible() ? viewEndFor(room) : room);
}

// Measured again only once the page or its room has changed: a page laid out anew as it was
// keeps its lines where they were.
int StagedBuildView::viewEndFor(int room) {
    QWidget& page = *scroll_->widget();
    if (measuredEnd_.page != page.size() || measuredEnd_.room != room) {
        measuredEnd_ = {page.size(), room, viewEndClearOfText(page, room)};
    }
    return measuredEnd_.end;
}

bool StagedBuildView::eventFilter(QObject* watched, QEvent* event) {
    const bool isPage = watched == scroll_->widget();
    if ((isPage && event->type() == QEvent::LayoutRequest) || event->type() == QEvent::Resize) {
        fitPageHeight();
    }
    return QWidget::eventFilter(watched, event);
}

void StagedBuildView::requestScan() {
    if (onRequestScan_) {
        onRequestScan_();
    }
}

} // namespace bw::workspace
