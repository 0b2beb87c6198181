#include "ui/window/RootView.h"

#include "app/AppModel.h"
#include "model/MarketingMode.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/window/BerthwatchSidebar.h"
#include "ui/window/SidebarDestinationButton.h"
#include "ui/window/SidebarResizeHandle.h"
#include "ui/window/SidebarWidth.h"
#include "ui/window/ToolbarItem.h"
#include "ui/window/WindowDropTarget.h"

#include <QAbstractButton>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

namespace bw::window {

namespace palette = design::palette;

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind rootViewMotion = design::MotionKind::skipping();

// An icon-only toolbar item with a soft fill under the pointer.
class ToolbarButton : public QAbstractButton {
public:
    ToolbarButton(const QString& symbol, const QString& label, const QString& help, QWidget* parent)
        : QAbstractButton(parent), symbol_(symbol) {
        setFixedSize(32, 28);
        setAccessibleName(label);
        setToolTip(help);
        setAttribute(Qt::WA_Hover);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintToolbarItem(painter, *this, symbol_);
    }

private:
    QString symbol_;
};

// The content area's faint canvas under every screen.
class ContentArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), palette::withOpacity(palette::canvas(), 0.28));
    }
};

bool isHomeDemonstration(const WindowSetup& setup) {
    return marketing_mode::isEnabled(setup.arguments, setup.environment) &&
           marketing_mode::scene(setup.arguments, setup.environment) == MarketingScene::home;
}

} // namespace

RootView::RootView(AppModel& model, WindowSetup setup, QWidget* parent)
    : QWidget(parent), model_(model), setup_(std::move(setup)), width_(new SidebarWidth(this)),
      backdrop_(new design::BerthwatchGlassBackdrop(palette::canvas(), 0.66, 0.018, this)),
      toolbar_(nullptr), sidebar_(new BerthwatchSidebar(model, this)),
      handle_(new SidebarResizeHandle(width_, this)), content_(new ContentArea(this)),
      dropTarget_(new WindowDropTarget(this, model)),
      // An ordinary launch shows the sidebar; a demonstration only for the home scene.
      isSidebarVisible_(!marketing_mode::isEnabled(setup_.arguments, setup_.environment) ||
                        isHomeDemonstration(setup_)),
      sidebarReveal_(isSidebarVisible_ ? 1.0 : 0.0) {
    setMinimumSize(minimumWidth, minimumHeight);
    toolbar_ = makeToolbar();
    auto* contentLayout = new QVBoxLayout(content_);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    handle_->raise();
    connect(width_, &SidebarWidth::changed, this, &RootView::layOut);
    connect(&sidebarReveal_, &design::AnimatedValue::valueChanged, this, &RootView::layOut);
    connect(&model_, &AppModel::sectionChanged, this, &RootView::showSection);
    connect(&model_, &AppModel::sectionChanged, this, &RootView::updateToolbar);
    connect(&model_, &AppModel::reportChanged, this, &RootView::updateToolbar);
    showSection();
    updateToolbar();
}

RootView::~RootView() {
    // Before the setup goes: the screens and the toolbar's items may use what it holds.
    delete screen_.data();
    delete toolbar_;
}

QWidget* RootView::makeToolbar() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(4);
    toggle_ = new ToolbarButton(QStringLiteral("sidebar.left"), QStringLiteral("Toggle Sidebar"),
                                QString(), bar);
    reveal_ =
        new ToolbarButton(QStringLiteral("folder"), QStringLiteral("Reveal in File Manager"),
                          QStringLiteral("Reveal the scanned build in the file manager"), bar);
    if (setup_.shareItem) {
        share_ = setup_.shareItem(bar);
    }
    layout->addWidget(toggle_);
    if (setup_.backItem) {
        layout->addWidget(setup_.backItem(bar));
    }
    layout->addWidget(reveal_);
    if (share_.widget) {
        layout->addWidget(share_.widget);
    }
    layout->addStretch();
    connect(toggle_, &QAbstractButton::clicked, this, &RootView::toggleSidebar);
    connect(reveal_, &QAbstractButton::clicked, this, [this] {
        if (model_.report()) {
            revealBuildInFinder(*model_.report());
        }
    });
    return bar;
}

void RootView::toggleSidebar() {
    isSidebarVisible_ = !isSidebarVisible_;
    sidebarReveal_.animateTo(isSidebarVisible_ ? 1.0 : 0.0, rootViewMotion.spring(0.24));
    updateToolbar();
    layOut();
}

void RootView::revealBuildInFinder(const ScanReport& report) {
    model_.revealReport(report);
}

void RootView::placeReportAction(QWidget* action) {
    action->setParent(toolbar_);
    toolbar_->layout()->addWidget(action);
    action->show();
}

// An open report is named for its app; every other screen as its sidebar row.
QString RootView::navigationTitle() const {
    if (model_.section() == AppSection::scan && model_.report()) {
        return model_.report()->metadata.appName;
    }
    return SidebarDestinationButton::title(model_.section());
}

void RootView::updateToolbar() {
    // The desktop's title bar names the screen shown.
    window()->setWindowTitle(navigationTitle());
    toggle_->setVisible(!isHomeDemonstration(setup_));
    toggle_->setToolTip(isSidebarVisible_ ? QStringLiteral("Hide Sidebar")
                                          : QStringLiteral("Show Sidebar"));
    const std::optional<ScanReport>& report = model_.report();
    const bool showsReport = model_.section() == AppSection::scan && report.has_value();
    reveal_->setVisible(showsReport && !report->sourcePath.isEmpty());
    if (share_.widget) {
        share_.widget->setVisible(showsReport);
        share_.show(showsReport ? report : std::optional<ScanReport>());
    }
}

void RootView::showSection() {
    if (shownSection_ == model_.section()) {
        return;
    }
    shownSection_ = model_.section();
    QPointer<QWidget> leaving = screen_;
    screen_ = setup_.screen ? setup_.screen(model_.section(), *this, content_) : nullptr;
    if (screen_) {
        // Text fields would take a dropped build as text; the window takes it instead.
        for (QLineEdit* field : screen_->findChildren<QLineEdit*>()) {
            field->setAcceptDrops(false);
        }
        // Laid out alone in its place before the focus goes into it, as it will be seen.
        if (leaving) {
            content_->layout()->removeWidget(leaving);
        }
        content_->layout()->addWidget(screen_);
        screen_->show();
        content_->layout()->activate();
        if (leaving) {
            design::passFocusOn(*leaving, *screen_);
        }
    }
    // Later, not now: the old screen may be the one whose click changed the section.
    if (leaving) {
        leaving->hide();
        leaving->deleteLater();
    }
}

void RootView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void RootView::layOut() {
    backdrop_->setGeometry(rect());
    toolbar_->setGeometry(0, 0, width(), toolbarHeight);
    const int body = height() - toolbarHeight;
    const int sidebarWidth = int(width_->value());
    const int shown = int(std::lround(sidebarWidth * sidebarReveal_.value()));
    // Worked out from the leading edge: mirrored, the sidebar stands at the right.
    sidebar_->setGeometry(
        design::leading(*this, QRect(shown - sidebarWidth, toolbarHeight, sidebarWidth, body)));
    sidebar_->setVisible(shown > 0);
    fadeSidebar(sidebarReveal_.value());
    // The handle straddles the sidebar's trailing edge, 4 points over the content.
    handle_->setGeometry(
        design::leading(*this, QRect(shown - SidebarResizeHandle::hitWidth / 2, toolbarHeight,
                                     SidebarResizeHandle::hitWidth, body)));
    handle_->setVisible(isSidebarVisible_ && shown > 0);
    content_->setGeometry(
        design::leading(*this, QRect(shown, toolbarHeight, width() - shown, body)));
    sidebar_->raise();
    handle_->raise();
}

void RootView::fadeSidebar(double opacity) {
    // The effect only while the sidebar slides: a shown sidebar paints without one.
    if (opacity <= 0 || opacity >= 1) {
        sidebar_->setGraphicsEffect(nullptr);
        return;
    }
    auto* fade = qobject_cast<QGraphicsOpacityEffect*>(sidebar_->graphicsEffect());
    if (!fade) {
        fade = new QGraphicsOpacityEffect(sidebar_);
        sidebar_->setGraphicsEffect(fade);
    }
    fade->setOpacity(opacity);
}

void RootView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (hasStarted_) {
        return;
    }
    hasStarted_ = true;
    // Once on screen, on a later turn of the event loop.
    QTimer::singleShot(0, &model_, &AppModel::start);
}

} // namespace bw::window
