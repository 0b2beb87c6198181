#include "ui/window/BerthwatchSidebar.h"

#include "app/AppModel.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/window/SidebarAppButton.h"
#include "ui/window/SidebarDestinationButton.h"
#include "ui/window/SidebarSelectionHighlight.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace bw::window {

namespace palette = design::palette;

namespace {

constexpr std::array primarySections{AppSection::scan, AppSection::recents};
constexpr std::array secondarySections{AppSection::guidelines, AppSection::settings};

bool isFooter(AppSection section) {
    return std::find(secondarySections.begin(), secondarySections.end(), section) !=
           secondarySections.end();
}

QLabel* label(const QString& text, design::TextStyle style, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    design::applyTextStyle(label, style);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, palette::textTertiary());
    label->setPalette(colours);
    return label;
}

// "Scanned apps will appear here." beside a tray, lined up with the rows above it.
QWidget* makeEmptyState(QWidget* parent) {
    auto* state = new QWidget(parent);
    state->setMinimumHeight(40);
    auto* layout = new QHBoxLayout(state);
    layout->setContentsMargins(11, 0, 11, 0);
    layout->setSpacing(10);
    auto* tray = new design::SymbolWidget(
        QStringLiteral("tray"), design::textStyleMetrics(design::TextStyle::medium14).pixelSize);
    tray->setColor(palette::textTertiary());
    tray->setFixedWidth(18);
    layout->addWidget(tray);
    layout->addWidget(
        label(QStringLiteral("Scanned apps will appear here."), design::TextStyle::caption, state));
    layout->addStretch();
    return state;
}

// The footer's hairline: white at 0.05, inset 6 points on each side.
QWidget* makeDivider(QWidget* parent) {
    auto* line = new QWidget(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette colours = line->palette();
    colours.setColor(QPalette::Window, palette::withOpacity(Qt::white, 0.05));
    line->setPalette(colours);
    return line;
}

} // namespace

BerthwatchSidebar::BerthwatchSidebar(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 0, 8, 10);
    outer->setSpacing(0);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The sidebar's own surface shows through the scrolled column.
    QPalette clear = scroll->palette();
    clear.setColor(QPalette::Window, Qt::transparent);
    clear.setColor(QPalette::Base, Qt::transparent);
    scroll->setPalette(clear);
    scroll->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget(scroll);
    content->setAutoFillBackground(false);
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
    QLabel* heading = label(QStringLiteral("Apps"), design::TextStyle::sidebarHeading, content);
    heading->setContentsMargins(10, 0, 10, 0);
    column->addWidget(heading);
    column->addSpacing(7);
    appsLayout_ = new QVBoxLayout;
    appsLayout_->setSpacing(3);
    emptyState_ = makeEmptyState(content);
    appsLayout_->addWidget(emptyState_);
    column->addLayout(appsLayout_);
    column->addStretch();
    scroll->setWidget(content);
    appsColumn_ = content;
    outer->addWidget(scroll, 1);

    outer->addSpacing(8);
    auto* footer = new QVBoxLayout;
    footer->setSpacing(3);
    auto* dividerRow = new QHBoxLayout;
    dividerRow->setContentsMargins(6, 0, 6, 5);
    dividerRow->addWidget(makeDivider(this));
    footer->addLayout(dividerRow);
    for (AppSection section : secondarySections) {
        addDestination(section, footer);
    }
    outer->addLayout(footer);

    connect(&model_, &AppModel::reportsChanged, this, &BerthwatchSidebar::rebuildApps);
    connect(&model_, &AppModel::sectionChanged, this, &BerthwatchSidebar::updateSelection);
    connect(&model_, &AppModel::reportChanged, this, &BerthwatchSidebar::updateSelection);
    connect(&model_, &AppModel::scanPhaseChanged, this, &BerthwatchSidebar::updateBusy);
    connect(&model_, &AppModel::isBuildDropTargetedChanged, this,
            &BerthwatchSidebar::updateDropTint);
    connect(&dropTint_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    rebuildApps();
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

void BerthwatchSidebar::rebuildApps() {
    // Later, not now: the row asking for the change may be the one going.
    for (SidebarAppButton* row : appRows_) {
        row->hide();
        appsLayout_->removeWidget(row);
        row->deleteLater();
    }
    appRows_.clear();
    pendingApps_ = SidebarApp::apps(model_.reports());
    emptyState_->setVisible(pendingApps_.empty());
    // Until the sidebar's first frame, only the rows a screen can show: a long history would
    // otherwise delay the window by a row per app. The others follow right after that frame.
    addAppRows(hasPainted_ ? pendingApps_.size() : rowsOnAScreen());
}

std::size_t BerthwatchSidebar::rowsOnAScreen() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = screen ? screen->availableGeometry().height() : 2160;
    return std::size_t(height / SidebarAppButton::rowHeight) + 1;
}

void BerthwatchSidebar::addRemainingAppRows() {
    if (appRows_.size() == pendingApps_.size()) {
        return;
    }
    // Rows added one by one to a column on screen are each laid out with all the others; added
    // while it is hidden, they are laid out once. Nothing is painted in between.
    appsColumn_->hide();
    addAppRows(pendingApps_.size());
    appsColumn_->show();
}

void BerthwatchSidebar::addAppRows(std::size_t count) {
    const std::size_t end = std::min(pendingApps_.size(), appRows_.size() + count);
    for (std::size_t index = appRows_.size(); index < end; ++index) {
        auto* row = new SidebarAppButton(std::move(pendingApps_[index]), this);
        // Each action reads the row's own app: a copy per action would cost a report each.
        connect(row, &QAbstractButton::clicked, this, [this, row] { openApp(row->app()); });
        connect(row, &SidebarAppButton::showReportsRequested, this,
                &BerthwatchSidebar::showReports);
        connect(row, &SidebarAppButton::revealRequested, this, [this, row] {
            if (const ScanReport* report = latestReport(row->app())) {
                model_.revealReport(*report);
            }
        });
        connect(row, &SidebarAppButton::deleteConfirmed, this,
                [this, row] { model_.deleteReports(row->app()); });
        appsLayout_->addWidget(row);
        appRows_.push_back(row);
    }
    if (appRows_.size() == pendingApps_.size()) {
        pendingApps_.clear();
    }
    updateSelection();
    updateBusy();
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
        row->setEnabled(!isBusy);
    }
}

void BerthwatchSidebar::updateDropTint() {
    const bool targeted = model_.isBuildDropTargeted();
    dropTint_.animateTo(targeted ? 1.0 : 0.0,
                        design::unlessReduceMotion(design::Motion::spring(0.28)));
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
