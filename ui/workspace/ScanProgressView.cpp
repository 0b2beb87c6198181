#include "ui/workspace/ScanProgressView.h"

#include "app/AppModel.h"
#include "platform/locale/NumberFormatting.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/HoverButton.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/OnDeviceLine.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/RollingNumber.h"
#include "ui/workspace/ScanProgressPresentation.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace bw::workspace {

namespace palette = design::palette;
using design::Motion;
using design::TextStyle;

namespace {
// The phase label's change is skipped under reduce motion.
const design::MotionKind phaseLabelMotion = design::MotionKind::skipping();
} // namespace

// The one-line phase label: a new text rises in from 3 points below while the old one rises out.
class PhaseLabel : public QWidget {
public:
    explicit PhaseLabel(QWidget* parent) : QWidget(parent) {
        setFixedHeight(20);
        connect(&change_, &design::AnimatedValue::valueChanged, this,
                qOverload<>(&QWidget::update));
    }

    QString text() const { return text_; }

    void setText(const QString& text) {
        if (text == text_) {
            return;
        }
        previous_ = text_;
        text_ = text;
        change_.setValue(0);
        change_.animateTo(1, phaseLabelMotion.spring(0.24, 0.85));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setClipRect(rect());
        painter.setFont(design::textStyleFont(TextStyle::bodyEmphasized));
        painter.setPen(palette::textSecondary());
        const double t = std::clamp(change_.value(), 0.0, 1.0);
        if (t < 1) {
            paintLine(painter, previous_, -3 * t, 1 - t);
        }
        paintLine(painter, text_, 3 * (1 - t), t);
    }

private:
    void paintLine(QPainter& painter, const QString& text, double offset, double opacity) {
        painter.setOpacity(opacity);
        const QString line =
            QFontMetricsF(painter.font()).elidedText(text, Qt::ElideRight, width());
        design::drawText(painter, QRectF(rect()).translated(0, offset), Qt::AlignCenter, line);
    }

    QString text_;
    QString previous_;
    design::AnimatedValue change_{1.0};
};

namespace {

const QString cancelText = u"Cancel scan"_qs;

// "Cancel scan": a plain text button that turns red under the pointer.
class CancelButton : public design::HoverButton {
public:
    explicit CancelButton(QWidget* parent) : design::HoverButton(parent) {
        setText(cancelText);
        setAccessibleName(cancelText);
        setToolTip(u"Stop this scan; nothing is saved"_qs);
        // Clicked, it takes the keyboard focus as a standard button does.
        setFocusPolicy(Qt::StrongFocus);
        setFixedHeight(26);
    }

    QSize sizeHint() const override {
        const QFontMetricsF metrics(design::textStyleFont(TextStyle::label));
        return QSize(int(metrics.horizontalAdvance(cancelText)) + 24, 26);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const double t = hoverProgress();
        painter.setPen(palette::mix(palette::textSecondary(), palette::danger(), t));
        painter.setFont(design::textStyleFont(TextStyle::label));
        design::drawText(painter, rect(), Qt::AlignCenter, cancelText);
        design::paintCapsuleFocusRing(painter, *this);
    }
};

double clampedUnit(double value) {
    return value <= 0 ? 0 : std::min(1.0, value);
}

// The progress presentation holds still under reduce motion.
const design::MotionKind progressMotion = design::MotionKind::skipping();

} // namespace

ScanProgressView::ScanProgressView(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model),
      presentation_(
          new ScanProgressPresentation(model.clock(), model.minimumPresentationDuration(), this)),
      shownProgress_(presentation_->progress()) {
    setAccessibleName(u"Build scan in progress"_qs);
    column_ = makeColumn();
    columnLayout_->setSpacing(26);
    blockLayout_->setSpacing(22);
    runway_->setFixedHeight(40);
    footer_ = new design::OnDeviceLine(this);
    buildSteps();
    followSteps(false);
    showProgress(shownProgress_.value());

    connect(presentation_, &ScanProgressPresentation::progressChanged, this,
            &ScanProgressView::followProgress);
    connect(presentation_, &ScanProgressPresentation::stepsChanged, this,
            &ScanProgressView::followSteps);
    connect(&shownProgress_, &design::AnimatedValue::valueChanged, this,
            &ScanProgressView::showProgress);
    connect(&model, &AppModel::scanPhaseChanged, this, &ScanProgressView::followPhase);
    connect(&model, &AppModel::scanPhaseChanged, this, &ScanProgressView::updateLabels);
    connect(&model, &AppModel::screenshotSlotsChanged, this, [this] {
        buildSteps();
        followSteps(false);
    });
    connect(&model, &AppModel::isScanCancellationAvailableChanged, this, [this] {
        // Until the report takes the screen's place.
        if (!model_.isScanCancellationAvailable()) {
            design::holdFocusFor(*cancel_, *this);
        }
        cancel_->setVisible(model_.isScanCancellationAvailable());
        place();
    });
    cancel_->setVisible(model.isScanCancellationAvailable());
    connect(cancel_, &QAbstractButton::clicked, this, &ScanProgressView::cancelScan);
    followPhase();
}

// Stops the presentation's worker with the screen.
ScanProgressView::~ScanProgressView() {
    presentation_->stopWorker();
}

QWidget* ScanProgressView::makeColumn() {
    auto* column = new QWidget(this);
    auto* title = design::makeLabel(u"Reviewing your build"_qs, TextStyle::screenTitle,
                                    palette::textPrimary(), column);
    title->setAlignment(Qt::AlignCenter);
    phaseLabel_ = new PhaseLabel(column);
    auto* header = new QVBoxLayout;
    header->setSpacing(7);
    header->addWidget(title);
    header->addWidget(phaseLabel_);

    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    // The title as wide as its text, at the leading edge; the percentage takes the rest of the
    // row and stands at its trailing end.
    row->addWidget(design::makeLabel(u"Submission review"_qs, TextStyle::label,
                                     palette::textSecondary(), column));
    percentage_ = new RollingNumber(design::textStyleFont(TextStyle::monoLabel),
                                    palette::textPrimary(), column);
    row->addWidget(percentage_, 1);
    runway_ = new design::BerthwatchProgressRunway(column);
    auto* bar = new QVBoxLayout;
    bar->setSpacing(6);
    bar->addLayout(row);
    bar->addWidget(runway_);

    blockLayout_ = new QVBoxLayout;
    blockLayout_->addLayout(bar);
    cancel_ = new CancelButton(column);
    columnLayout_ = new QVBoxLayout(column);
    columnLayout_->setContentsMargins(0, 0, 0, 0);
    columnLayout_->addLayout(header);
    columnLayout_->addLayout(blockLayout_);
    columnLayout_->addWidget(cancel_, 0, Qt::AlignHCenter);
    return column;
}

std::vector<ScanProgressStep> ScanProgressView::steps() const {
    return scanProgressSteps(!model_.selectedScreenshotURLs().isEmpty());
}

double ScanProgressView::phaseTarget() const {
    const auto& state = model_.scanPhase().state;
    if (const auto* scanning = std::get_if<ScanPhase::Scanning>(&state)) {
        return scanning->progress > 0 ? std::min(1.0, scanning->progress) : 0;
    }
    if (std::holds_alternative<ScanPhase::Preparing>(state)) {
        return 0.02;
    }
    return std::holds_alternative<ScanPhase::Finished>(state) ? 1.0 : 0;
}

QString ScanProgressView::phaseLabel() const {
    const auto list = steps();
    const auto active = presentation_->activeStep();
    if (active && *active >= 0 && *active < int(list.size())) {
        return list[*active].title;
    }
    if (presentation_->completedStepCount() == int(list.size())) {
        return u"Report ready"_qs;
    }
    const auto& state = model_.scanPhase().state;
    if (const auto* scanning = std::get_if<ScanPhase::Scanning>(&state)) {
        return scanning->message;
    }
    if (std::holds_alternative<ScanPhase::Preparing>(state)) {
        return u"Preparing artifact"_qs;
    }
    return u"Preparing review"_qs;
}

ScanProgressStepState ScanProgressView::stepState(int index) const {
    if (index < presentation_->completedStepCount()) {
        return ScanProgressStepState::complete;
    }
    return presentation_->activeStep() == index ? ScanProgressStepState::active
                                                : ScanProgressStepState::pending;
}

double ScanProgressView::clampedProgress() const {
    return clampedUnit(presentation_->progress());
}

void ScanProgressView::cancelScan() {
    model_.cancelScan();
}

// Each new target waits 20 ms; a newer one in the meantime replaces it, so a burst of progress
// reports restarts the easing once.
void ScanProgressView::followPhase() {
    const double target = phaseTarget();
    if (target == syncedTarget_) {
        return;
    }
    syncedTarget_ = target;
    const int generation = ++syncGeneration_;
    model_.clock().schedule(seconds(0.02), this, [this, generation] { synchronize(generation); });
}

void ScanProgressView::synchronize(int generation) {
    if (generation != syncGeneration_) {
        return;
    }
    std::vector<double> thresholds;
    for (const ScanProgressStep& step : steps()) {
        thresholds.push_back(step.completionProgress);
    }
    presentation_->start(phaseTarget(), thresholds, progressMotion.isReduced());
}

void ScanProgressView::buildSteps() {
    const auto list = steps();
    if (stepsBox_ && list.size() == stepCount_ && narrow_ == stepsNarrow_) {
        return;
    }
    delete stepsBox_;
    stepViews_.clear();
    stepCount_ = list.size();
    stepsNarrow_ = narrow_;
    stepsBox_ = new QWidget(column_);
    QBoxLayout* layout =
        narrow_ ? static_cast<QBoxLayout*>(new QVBoxLayout(stepsBox_)) : new QHBoxLayout(stepsBox_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto orientation =
        narrow_ ? ReviewStepView::Orientation::row : ReviewStepView::Orientation::column;
    for (const ScanProgressStep& step : list) {
        auto* view = new ReviewStepView(step, orientation, stepsBox_);
        view->setCompact(compact_);
        stepViews_.push_back(view);
        layout->addWidget(view, 1, narrow_ ? Qt::Alignment() : Qt::AlignTop);
    }
    blockLayout_->addWidget(stepsBox_, 0, narrow_ ? Qt::AlignHCenter : Qt::Alignment());
    stepsBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    stepsBox_->show(); // now, so that the column measures it
    place();
}

void ScanProgressView::followSteps(bool animated) {
    for (int index = 0; index < int(stepViews_.size()); ++index) {
        stepViews_[index]->setState(stepState(index), animated);
    }
    updateLabels();
}

void ScanProgressView::followProgress(double progress, double animationSeconds) {
    shownProgress_.animateTo(progress, animationSeconds > 0 ? Motion::linear(animationSeconds)
                                                            : Motion::none());
    updateLabels();
}

void ScanProgressView::showProgress(double shown) {
    const double clamped = clampedUnit(shown);
    runway_->setProgress(clamped);
    percentage_->setText(locale::wholePercent(clamped));
}

void ScanProgressView::updateLabels() {
    const QString label = phaseLabel();
    phaseLabel_->setText(label);
    const long whole = std::lround(clampedProgress() * 100);
    setAccessibleDescription(QString::number(whole) + u" percent. "_qs + label);
}

void ScanProgressView::applySizeClasses() {
    const bool compact = height() < 650;
    const bool narrow = width() < 760;
    if (compact == compact_ && narrow == narrow_) {
        return;
    }
    compact_ = compact;
    narrow_ = narrow;
    columnLayout_->setSpacing(compact ? 20 : 26);
    blockLayout_->setSpacing(compact ? 16 : 22);
    runway_->setFixedHeight(compact ? 34 : 40);
    for (ReviewStepView* view : stepViews_) {
        view->setCompact(compact);
    }
    buildSteps();
    followSteps(false);
}

void ScanProgressView::resizeEvent(QResizeEvent*) {
    applySizeClasses();
    place();
}

// The column is centred and drawn a little above the middle; the footer keeps to the bottom.
void ScanProgressView::place() {
    const int padding = narrow_ ? 28 : 44;
    const int width = std::min(720, this->width() - 2 * padding);
    // The narrow list is as wide as it may be, 420 at most, its rows starting at its left edge.
    if (narrow_) {
        stepsBox_->setFixedWidth(std::clamp(width, 0, 420));
    }
    columnLayout_->activate();
    const int height = column_->sizeHint().height();
    const int lift = compact_ ? 4 : 24;
    column_->setGeometry((this->width() - width) / 2, (this->height() - height) / 2 - lift, width,
                         height);
    const int bottom = compact_ ? 18 : 26;
    footer_->setGeometry(padding, this->height() - bottom - footer_->height(),
                         this->width() - 2 * padding, footer_->height());
}

} // namespace bw::workspace
