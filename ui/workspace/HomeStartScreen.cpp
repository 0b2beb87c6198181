#include "ui/workspace/HomeStartScreen.h"

#include "app/AppModel.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/OnDeviceLine.h"
#include "ui/design/Palette.h"
#include "ui/workspace/DropZoneCard.h"
#include "ui/workspace/FileChooser.h"
#include "ui/workspace/HeroTitle.h"
#include "ui/workspace/RejectionNotice.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QRadialGradient>
#include <QVBoxLayout>

namespace bw::workspace {

using design::BerthwatchRunwayState;
using design::Motion;
using design::TextStyle;
namespace palette = design::palette;

// Holds the drop-zone card and moves it sideways by the shake offset without a layout pass.
class ShakeHost : public QWidget {
public:
    ShakeHost(QWidget* child, QWidget* parent) : QWidget(parent), child_(child) {
        child->setParent(this);
        setMaximumWidth(620);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void setOffset(double offset) {
        offset_ = qRound(offset);
        place();
    }

    // As wide as the card may be, so that a longer title never finds it too narrow.
    QSize sizeHint() const override { return {maximumWidth(), child_->sizeHint().height()}; }
    QSize minimumSizeHint() const override { return child_->minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent*) override { place(); }

private:
    void place() { child_->setGeometry(rect().translated(offset_, 0)); }

    QWidget* child_;
    int offset_ = 0;
};

// Lays the card's host out in its slot plus the card's overhang above it, so that what the card
// draws above its padded box is not cut by the host.
class OverhangItem : public QLayoutItem {
public:
    OverhangItem(QWidget* host, const DropZoneCard& card)
        : QLayoutItem(Qt::AlignHCenter), host_(host), card_(card) {
        host_.setAlignment(Qt::AlignHCenter);
    }

    QSize sizeHint() const override { return lower(host_.sizeHint()); }
    QSize minimumSize() const override { return lower(host_.minimumSize()); }
    QSize maximumSize() const override { return lower(host_.maximumSize()); }
    Qt::Orientations expandingDirections() const override { return host_.expandingDirections(); }
    bool isEmpty() const override { return host_.isEmpty(); }
    QWidget* widget() const override { return host_.widget(); }
    void setGeometry(const QRect& rect) override {
        slot_ = rect;
        host_.setGeometry(rect.adjusted(0, -card_.overhang(), 0, 0));
    }
    QRect geometry() const override { return slot_; }

private:
    QSize lower(QSize size) const {
        return {size.width(), std::max(0, size.height() - card_.overhang())};
    }

    QWidgetItem host_;
    const DropZoneCard& card_;
    QRect slot_;
};

// The headline and the card, drawn a few points above their laid-out place.
class LiftedColumn : public QVBoxLayout {
public:
    void setLift(int lift) {
        lift_ = lift;
        invalidate();
    }

    void setGeometry(const QRect& rect) override {
        QVBoxLayout::setGeometry(rect.translated(0, -lift_));
    }

private:
    int lift_ = 0;
};

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind homeStartScreenMotion = design::MotionKind::skipping();

const QStringList acceptedExtensions = {u"ipa"_qs, u"xcarchive"_qs, u"app"_qs};

QColor tint(BerthwatchRunwayState state) {
    switch (state) {
    case BerthwatchRunwayState::targeted:
    case BerthwatchRunwayState::launching:
        return palette::accent();
    case BerthwatchRunwayState::rejected:
        return palette::danger();
    case BerthwatchRunwayState::idle:
    case BerthwatchRunwayState::hovered:
        break;
    }
    return Qt::transparent;
}

bool isLit(BerthwatchRunwayState state) {
    return state == BerthwatchRunwayState::targeted || state == BerthwatchRunwayState::launching ||
           state == BerthwatchRunwayState::rejected;
}

} // namespace

void clearImportNotice(AppModel& model) {
    model.setImportRejection(std::nullopt);
    model.setImportMessage(std::nullopt);
}

HomeStartScreen::HomeStartScreen(AppModel& model, FileChooser& chooser, QWidget* parent)
    : QWidget(parent), model_(model), chooser_(chooser) {
    card_ = new DropZoneCard;
    cardHost_ = new ShakeHost(card_, this);
    notice_ = new RejectionNotice(model, this);

    cardStack_ = new QVBoxLayout;
    cardStack_->addItem(new OverhangItem(cardHost_, *card_));
    cardStack_->addWidget(notice_);
    middle_ = new LiftedColumn;
    middle_->addWidget(makeHero());
    middle_->addLayout(cardStack_);

    topSpace_ = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding);
    bottomSpace_ = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding);
    footSpace_ = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    column_ = new QVBoxLayout(this);
    column_->setSpacing(0);
    column_->addItem(topSpace_);
    column_->addLayout(middle_);
    column_->addItem(bottomSpace_);
    column_->addWidget(new design::OnDeviceLine(this));
    column_->addItem(footSpace_);
    setCompact(false);

    connect(card_, &QAbstractButton::clicked, this, &HomeStartScreen::chooseBuild);
    connect(card_, &DropZoneCard::hoveringChanged, this, &HomeStartScreen::followModel);
    connect(&model, &AppModel::isBuildDropTargetedChanged, this, [this] {
        backdropTarget_.animateTo(model_.isBuildDropTargeted() ? 1 : 0,
                                  homeStartScreenMotion.spring(0.32));
        reactToDropTarget();
        followModel();
    });
    connect(&model, &AppModel::isBuildImportLaunchingChanged, this, &HomeStartScreen::followModel);
    connect(&model, &AppModel::importRejectionChanged, this, &HomeStartScreen::followModel);
    connect(&model, &AppModel::importRejectionCountChanged, this,
            &HomeStartScreen::reactToRejection);
    connect(&shake_, &design::AnimatedValue::valueChanged, cardHost_, &ShakeHost::setOffset);
    for (design::AnimatedValue* value : {&glow_, &backdropTarget_}) {
        connect(value, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    }
    backdropTarget_.setValue(model.isBuildDropTargeted() ? 1 : 0);
    followModel();
    glow_.setValue(isLit(runwayState()) ? 1 : 0);
}

QWidget* HomeStartScreen::makeHero() {
    auto* hero = new QWidget(this);
    auto* title = new HeroTitle(u"Check your build before you submit."_qs, hero);
    const QString leadText = u"Drop your build anywhere to find submission issues, missing "
                             "requirements,\nand potential App Review risks before they slow "
                             "down your next release."_qs;
    auto* lead = design::makeLabel({}, TextStyle::lead, palette::textSecondary(), hero);
    // Three points more between the lines than the face's own spacing.
    const int lineHeight = lead->fontMetrics().lineSpacing() + 3;
    lead->setTextFormat(Qt::RichText);
    lead->setText(u"<div style=\"line-height:%1px\">%2</div>"_qs.arg(lineHeight)
                      .arg(leadText.toHtmlEscaped().replace(u'\n', u"<br>"_qs)));
    lead->setAccessibleName(leadText);
    title->setMaximumWidth(700);
    lead->setMaximumWidth(680);
    lead->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(hero);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    // The introduction keeps the two lines it is written in.
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(lead, 0, Qt::AlignHCenter);
    return hero;
}

// The paired sizes of the screen: the first while the window is less than 650 points high.
void HomeStartScreen::setCompact(bool compact) {
    compact_ = compact;
    const int side = compact ? 28 : 44;
    column_->setContentsMargins(side, 0, side, 0);
    topSpace_->changeSize(0, compact ? 28 : 46, QSizePolicy::Minimum, QSizePolicy::Expanding);
    bottomSpace_->changeSize(0, compact ? 40 : 62, QSizePolicy::Minimum, QSizePolicy::Expanding);
    footSpace_->changeSize(0, compact ? 18 : 26, QSizePolicy::Minimum, QSizePolicy::Fixed);
    middle_->setSpacing(compact ? 34 : 44);
    middle_->setLift(compact ? 6 : 12);
    cardStack_->setSpacing(compact ? 16 : 20);
    card_->setCompact(compact);
    cardHost_->updateGeometry();
    column_->invalidate();
}

void HomeStartScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if ((height() < 650) != compact_) {
        setCompact(height() < 650);
    }
}

BerthwatchRunwayState HomeStartScreen::runwayState() const {
    if (model_.isBuildImportLaunching()) {
        return BerthwatchRunwayState::launching;
    }
    if (model_.importRejection()) {
        return BerthwatchRunwayState::rejected;
    }
    if (model_.isBuildDropTargeted()) {
        return BerthwatchRunwayState::targeted;
    }
    return card_->isHovering() ? BerthwatchRunwayState::hovered : BerthwatchRunwayState::idle;
}

void HomeStartScreen::followModel() {
    const BerthwatchRunwayState state = runwayState();
    card_->setRunwayState(state);
    card_->setTargeted(model_.isBuildDropTargeted());
    // While the build launches, the card is disabled: the screen holds the focus until the staged
    // build takes its place, or gives it back to the card after a refusal.
    const bool launching = model_.isBuildImportLaunching();
    if (launching) {
        design::holdFocusFor(*card_, *this);
    }
    card_->setLaunching(launching);
    if (!launching && window()->focusWidget() == this) {
        design::focusAfterKeyboardAction(*card_);
    }
    if (isLit(state)) {
        glowTint_ = tint(state); // an unlit glow fades out in the tint it had
    }
    glow_.animateTo(isLit(state) ? 1 : 0, homeStartScreenMotion.spring(0.34));
}

void HomeStartScreen::chooseBuild() {
    const FileChoice choice{u"Choose an IPA, XCArchive, or App build to scan"_qs,
                            {u"Builds (*.ipa *.xcarchive *.app)"_qs},
                            {u"xcarchive"_qs, u"app"_qs}};
    // The file goes to the model, which every screen follows: whichever is current when the panel
    // closes shows the launch, also when this screen was replaced meanwhile.
    if (const auto path = chooser_.chooseFile(this, choice)) {
        openBuild(*path);
    }
}

void HomeStartScreen::openBuild(const QString& path) {
    const QString extension = QFileInfo(QDir::cleanPath(path)).suffix().toLower();
    if (!acceptedExtensions.contains(extension)) {
        model_.importBuild(path);
        return;
    }
    if (model_.isBuildImportLaunching()) {
        return;
    }
    model_.setBuildDropTargeted(false);
    model_.setBuildImportLaunching(true);
    // Tied to the model, not to this screen: the import is made even if the screen goes away.
    // The model refuses it if a scan has started meanwhile, and nothing new shows then.
    AppModel* model = &model_;
    model_.clock().schedule(seconds(design::BerthwatchRunwayMark::launchWaitSeconds()), model,
                            [model, path] {
                                model->importBuild(path);
                                model->setBuildImportLaunching(false);
                            });
}

// The card shakes; 4.2 s later the notice goes, unless a later refusal has taken over. A message
// set after the refusal (a refused screenshot, a failed or cancelled scan) is left in place. The
// notice goes with its spring also under reduce motion; the model is cleared even when the screen
// has gone meanwhile.
void HomeStartScreen::reactToRejection() {
    const int count = model_.importRejectionCount();
    const std::optional<QString> message = model_.importMessage();
    AppModel* model = &model_;
    const QPointer<RejectionNotice> notice(notice_);
    const auto clearLater = [model, notice, count, message] {
        model->clock().schedule(seconds(4.2), model, [model, notice, count, message] {
            if (model->importRejectionCount() != count) {
                return;
            }
            const auto clear = [model, &message] {
                model->setImportRejection(std::nullopt);
                if (model->importMessage() == message) {
                    model->setImportMessage(std::nullopt);
                }
            };
            if (!notice) {
                return clear();
            }
            notice->withMotion(design::MotionKind::keeping().spring(0.32), clear);
        });
    };
    if (homeStartScreenMotion.isReduced()) {
        shake_.setValue(0);
        return clearLater();
    }
    const QPointer<HomeStartScreen> screen(this);
    const auto shakeTo = [screen](double offset, double response, double damping) {
        if (screen) {
            screen->shake_.animateTo(offset, homeStartScreenMotion.spring(response, damping));
        }
    };
    shakeTo(8, 0.09, 0.85);
    model->clock().schedule(seconds(0.08), model, [model, shakeTo, clearLater] {
        shakeTo(-6, 0.09, 0.85);
        model->clock().schedule(seconds(0.08), model, [shakeTo, clearLater] {
            shakeTo(0, 0.16, 1.0);
            clearLater();
        });
    });
}

// A new drag over the window takes an earlier notice away at once, with its spring also under
// reduce motion.
void HomeStartScreen::reactToDropTarget() {
    if (model_.isBuildDropTargeted()) {
        notice_->withMotion(design::MotionKind::keeping().spring(0.28),
                            [this] { clearImportNotice(model_); });
    }
}

void HomeStartScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(painter);
    paintDropGlow(painter);
}

void HomeStartScreen::paintBackdrop(QPainter& painter) {
    const QRectF bounds = rect();
    painter.fillRect(bounds, palette::withOpacity(palette::canvas(), 0.74));
    const double accentOpacity = 0.032 + (0.065 - 0.032) * backdropTarget_.value();
    QRadialGradient radial(bounds.width() * 0.52, bounds.height() * 0.52, 470);
    radial.setColorAt(30.0 / 470, palette::withOpacity(palette::accent(), accentOpacity));
    radial.setColorAt(1, Qt::transparent);
    painter.fillRect(bounds, radial);
    QLinearGradient linear(bounds.topLeft(), bounds.bottomLeft());
    linear.setColorAt(0, palette::withOpacity(Qt::white, 0.018));
    linear.setColorAt(0.5, Qt::transparent);
    linear.setColorAt(1, palette::withOpacity(Qt::black, 0.1));
    painter.fillRect(bounds, linear);
}

void HomeStartScreen::paintDropGlow(QPainter& painter) {
    const double lit = glow_.value();
    if (lit <= 0.001) {
        return;
    }
    painter.save();
    painter.setOpacity(std::min(1.0, lit));
    const QPointF centre = QRectF(rect()).center();
    const qreal scale = 0.988 + 0.012 * lit;
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.translate(-centre);
    const QRectF frame = QRectF(rect()).adjusted(16, 16, -16, -16);
    const QPainterPath shape = design::continuousRoundedRect(frame, 36);
    const QColor& c = glowTint_;

    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, palette::withOpacity(c, 0.08));
    fill.setColorAt(0.5, palette::withOpacity(palette::dropZoneSurface(), 0.42));
    fill.setColorAt(1, palette::withOpacity(c, 0.025));
    painter.fillPath(shape, fill);
    // The soft outer glow: wide faint strokes stand in for a blurred one.
    for (const auto& [width, opacity] : {std::pair{14.0, 0.04}, {10.0, 0.06}, {6.0, 0.08}}) {
        painter.strokePath(shape, QPen(palette::withOpacity(c, opacity), width));
    }
    const QRectF inner = frame.adjusted(0.4, 0.4, -0.4, -0.4);
    QLinearGradient border(inner.topLeft(), inner.bottomLeft());
    border.setColorAt(0, palette::withOpacity(c, 0.52));
    border.setColorAt(1, palette::withOpacity(c, 0.12));
    painter.strokePath(design::continuousRoundedRect(inner, 35.6), QPen(QBrush(border), 0.8));
    painter.restore();
}

} // namespace bw::workspace
