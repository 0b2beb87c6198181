#include "ui/window/BerthwatchSidebar.h"

#include "app/AppModel.h"
#include "ui/design/BareScrollArea.h"
#include "ui/design/Hairline.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/KeyboardRegion.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/window/SidebarDestinationButton.h"
#include "ui/window/SidebarSelectionHighlight.h"

#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace bw::window {

namespace palette = design::palette;

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind berthwatchSidebarMotion = design::MotionKind::skipping();

constexpr std::array primarySections{AppSection::scan, AppSection::recents};
constexpr std::array secondarySections{AppSection::guidelines, AppSection::settings};

bool isFooter(AppSection section) {
    return std::find(secondarySections.begin(), secondarySections.end(), section) !=
           secondarySections.end();
}

// "Scanned apps will appear here." beside a tray, lined up with the rows above it.
QWidget* makeEmptyState(QWidget* parent) {
    auto* state = new QWidget(parent);
    state->setMinimumHeight(40);
    auto* layout = new QHBoxLayout(state);
    layout->setContentsMargins(11, 0, 11, 0);
    layout->setSpacing(10);
    auto* tray = new design::SymbolWidget(QStringLiteral("tray"), design::TextStyle::medium14);
    tray->setColor(palette::textTertiary());
    tray->setFixedWidth(18);
    layout->addWidget(tray);
    layout->addWidget(design::makeLabel(QStringLiteral("Scanned apps will appear here."),
                                        design::TextStyle::caption, palette::textTertiary(),
                                        state));
    layout->addStretch();
    return state;
}

} // namespace

BerthwatchSidebar::BerthwatchSidebar(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 0, 8, 10);
    outer->setSpacing(0);
    design::keepArrowsWithin(*this);

    QScrollArea* scroll = design::bareScrollArea(this);
    // The sidebar's own surface shows through the scrolled column.
    QPalette clear = scroll->palette();
    clear.setColor(QPalette::Window, Qt::transparent);
    clear.setColor(QPalette::Base, Qt::transparent);
    scroll->setPalette(clear);
    auto* content = new QWidget(scroll);
    // Scan, Reports and the apps share one highlight; Guidelines and Settings another.
    contentHighlight_ = new SidebarSelectionHighlight(content);
    footerHighlight_ = new SidebarSelectionHighlight(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 10, 0, 0);
    column->setSpacing(3);
    auto addDestination = [this](AppSection section, QVBoxLayout* layout) {
        auto* row = new SidebarDestinationButton(section, this);
        connect(row, &QAbstractButton::clicked, this, [this, section] { select(section); });
        destinations_.push_back(row);
        layout->addWidget(row);
    };
    for (AppSection section : primarySections) {
        addDestination(section, column);
    }
    // The column's spacing of 3 comes once beside a spacer: 22 above the heading, and below it
    // its own 7 and then the 3 of the list it heads.
    column->addSpacing(22 - 3);
    QLabel* heading = design::makeLabel(QStringLiteral("Apps"), design::TextStyle::sidebarHeading,
                                        palette::textTertiary(), content);
    heading->setContentsMargins(10, 0, 10, 0);
    column->addWidget(heading);
    column->addSpacing(7);
    appsLayout_ = new QVBoxLayout;
    appsLayout_->setSpacing(3);
    emptyState_ = makeEmptyState(content);
    appsLayout_->addWidget(emptyState_);
    column->addLayout(appsLayout_);
    column->addStretch();
    design::setBareContent(*scroll, content);
    appsColumn_ = content;
    outer->addWidget(scroll, 1);

    outer->addSpacing(8);
    auto* footer = new QVBoxLayout;
    footer->setSpacing(3);
    // White at 0.05, inset 6 points on each side.
    footer->addWidget(
        new design::Hairline(palette::withOpacity(Qt::white, 0.05), QMargins(6, 0, 6, 5), this));
    for (AppSection section : secondarySections) {
        addDestination(section, footer);
    }
    outer->addLayout(footer);

    connect(&model_, &AppModel::reportsChanged, this, &BerthwatchSidebar::updateApps);
    connect(&model_, &AppModel::sectionChanged, this, &BerthwatchSidebar::updateSelection);
    connect(&model_, &AppModel::reportChanged, this, &BerthwatchSidebar::updateSelection);
    connect(&model_, &AppModel::scanPhaseChanged, this, &BerthwatchSidebar::updateBusy);
    connect(&model_, &AppModel::isBuildDropTargetedChanged, this,
            &BerthwatchSidebar::updateDropTint);
    connect(&dropTint_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    updateApps();
    updateBusy();
    updateDropTint();
}

SidebarDestinationButton* BerthwatchSidebar::destination(AppSection section) const {
    for (SidebarDestinationButton* row : destinations_) {
        if (row->section() == section) {
            return row;
        }
    }
    return nullptr;
}

void BerthwatchSidebar::updateApps() {
    std::vector<SidebarApp> apps = SidebarApp::apps(model_.reports());
    emptyState_->setVisible(apps.empty());
    pendingApps_.clear();
    if (!hasPainted_ && apps.size() > rowsOnAScreen()) {
        // Until the sidebar's first frame, only the rows a screen can show: a long history would
        // otherwise delay the window by a row per app. The others follow right after that frame.
        pendingApps_ = std::move(apps);
        apps.assign(pendingApps_.begin(), pendingApps_.begin() + std::ptrdiff_t(rowsOnAScreen()));
    }
    showApps(std::move(apps));
    if (!hasPainted_) {
        SidebarAppButton::decodeIcons(appRows_);
    }
}

std::size_t BerthwatchSidebar::rowsOnAScreen() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = screen ? screen->availableGeometry().height() : 2160;
    return std::size_t(height / SidebarAppButton::rowHeight) + 1;
}

void BerthwatchSidebar::addRemainingAppRows() {
    if (!pendingApps_.empty()) {
        showApps(std::exchange(pendingApps_, {}));
    }
}

void BerthwatchSidebar::showApps(std::vector<SidebarApp> apps) {
    // Rows are matched to apps by bundle identifier, so a publish or a deletion touches the one
    // row it changes: the others keep their widget, hover and place.
    QHash<QString, SidebarAppButton*> rowOf;
    rowOf.reserve(qsizetype(appRows_.size()));
    for (SidebarAppButton* row : appRows_) {
        rowOf.insert(row->app().id(), row);
    }
    std::vector<SidebarAppButton*> rows;
    rows.reserve(apps.size());
    std::size_t changes = 0;
    for (const SidebarApp& app : apps) {
        rows.push_back(rowOf.take(app.id()));
        changes += rows.back() ? 0 : 1;
    }
    changes += std::size_t(rowOf.size());
    // Each row shown or hidden in a column on screen lays out the whole column again; with the
    // column hidden the changes are laid out once, when it shows. Not worth it for a few rows.
    const bool inBulk = changes > 4 && appsColumn_->isVisible();
    if (inBulk) {
        appsColumn_->hide();
    }
    for (SidebarAppButton* row : std::as_const(rowOf)) {
        // Later, not now: the row asking for the change may be the one going.
        row->hide();
        appsLayout_->removeWidget(row);
        row->deleteLater();
    }
    for (std::size_t index = 0; index < rows.size(); ++index) {
        SidebarAppButton*& row = rows[index];
        if (row) {
            row->setApp(std::move(apps[index]));
        } else {
            row = makeRow(std::move(apps[index]));
        }
        // After the empty state; a row already in its place stays untouched.
        const int position = int(index) + 1;
        if (const QLayoutItem* item = appsLayout_->itemAt(position);
            !item || item->widget() != row) {
            appsLayout_->removeWidget(row);
            appsLayout_->insertWidget(position, row);
        }
    }
    appRows_ = std::move(rows);
    // Rows made or moved later would otherwise keep the Tab order of their making; each row's
    // actions button follows its row.
    std::vector<QWidget*> stops;
    for (SidebarAppButton* row : appRows_) {
        std::ranges::copy(design::focusChainIn(*row), std::back_inserter(stops));
    }
    design::chainTabStops(destination(AppSection::recents), stops);
    if (inBulk) {
        appsColumn_->show();
    }
    updateSelection();
    updateBusy();
}

SidebarAppButton* BerthwatchSidebar::makeRow(SidebarApp app) {
    auto* row = new SidebarAppButton(std::move(app), appsColumn_);
    // Each action reads the row's own app.
    connect(row, &QAbstractButton::clicked, this, [this, row] { openApp(row->app()); });
    connect(row, &SidebarAppButton::showReportsRequested, this, &BerthwatchSidebar::showReports);
    connect(row, &SidebarAppButton::revealRequested, this, [this, row] {
        if (const ScanReport* report = latestReport(row->app())) {
            model_.revealReport(*report);
        }
    });
    connect(row, &SidebarAppButton::deleteConfirmed, this, [this, row] {
        const auto place = std::size_t(std::ranges::find(appRows_, row) - appRows_.begin());
        model_.deleteReports(row->app());
        focusAppAfterDeletion(place);
    });
    return row;
}

// The row that took the deleted one's place, or the one before it when it was the last; the same
// row when the deletion failed.
void BerthwatchSidebar::focusAppAfterDeletion(std::size_t place) {
    if (!appRows_.empty()) {
        design::focusAfterKeyboardAction(*appRows_[std::min(place, appRows_.size() - 1)]);
    }
}

void BerthwatchSidebar::updateSelection() {
    const std::optional<ScanReport>& shown = model_.report();
    for (SidebarDestinationButton* row : destinations_) {
        // Scan is selected only while no report is shown; a shown report selects its app.
        const bool isSelected = row->section() == AppSection::scan
                                    ? model_.section() == AppSection::scan && !shown
                                    : model_.section() == row->section();
        row->setSelected(isSelected);
    }
    for (SidebarAppButton* row : appRows_) {
        row->setSelected(shown && shown->metadata.bundleIdentifier == row->app().bundleIdentifier);
    }
    std::vector<QWidget*> content;
    std::vector<QWidget*> footer;
    for (SidebarDestinationButton* row : destinations_) {
        if (row->isSelected()) {
            (isFooter(row->section()) ? footer : content).push_back(row);
        }
    }
    for (SidebarAppButton* row : appRows_) {
        if (row->isSelected()) {
            content.push_back(row);
        }
    }
    contentHighlight_->follow(content);
    footerHighlight_->follow(footer);
}

void BerthwatchSidebar::updateBusy() {
    const bool isBusy = model_.scanPhase().isBusy();
    for (SidebarDestinationButton* row : destinations_) {
        row->setEnabled(!isBusy);
    }
    for (SidebarAppButton* row : appRows_) {
        row->setAvailable(!isBusy);
    }
}

void BerthwatchSidebar::updateDropTint() {
    const bool targeted = model_.isBuildDropTargeted();
    dropTint_.animateTo(targeted ? 1.0 : 0.0, berthwatchSidebarMotion.spring(0.28));
    for (SidebarDestinationButton* row : destinations_) {
        row->setDropTargeted(targeted);
    }
}

void BerthwatchSidebar::select(AppSection section) {
    if (model_.scanPhase().isBusy()) {
        return;
    }
    model_.showSection(section);
}

const ScanReport* BerthwatchSidebar::latestReport(const SidebarApp& app) const {
    const std::vector<ScanReport>& reports = model_.reports();
    const auto found = std::ranges::find(reports, app.latestReportID, &ScanReport::id);
    return found == reports.end() ? nullptr : &*found;
}

void BerthwatchSidebar::openApp(const SidebarApp& app) {
    if (const ScanReport* report = latestReport(app)) {
        model_.openReport(*report);
    }
}

void BerthwatchSidebar::showReports() {
    model_.closeReport();
    model_.showSection(AppSection::recents);
}

void BerthwatchSidebar::paintEvent(QPaintEvent*) {
    if (!hasPainted_) {
        hasPainted_ = true;
        // After this frame has reached the screen.
        QTimer::singleShot(0, this, &BerthwatchSidebar::addRemainingAppRows);
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette::sidebarSurface());
    if (dropTint_.value() > 0) {
        painter.fillRect(rect(),
                         palette::withOpacity(palette::accent(), 0.055 * dropTint_.value()));
    }
}

} // namespace bw::window
