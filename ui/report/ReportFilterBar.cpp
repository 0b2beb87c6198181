#include "ui/report/ReportFilterBar.h"

#include "model/ReportHelpers.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportTexts.h"

#include <QHBoxLayout>
#include <QPainter>

namespace bw::report {
namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind reportFilterBarMotion = design::MotionKind::keeping();

namespace palette = design::palette;
using design::TextStyle;

constexpr qreal groupFillOpacity = 0.03; // white behind the filter group

constexpr int chipSpacing = 7;

QRectF lerp(const QRectF& from, const QRectF& to, qreal t) {
    const auto mix = [t](qreal a, qreal b) { return a + (b - a) * t; };
    return {mix(from.x(), to.x()), mix(from.y(), to.y()), mix(from.width(), to.width()),
            mix(from.height(), to.height())};
}

} // namespace

ReportFilterChip::ReportFilterChip(QString title, bool showsCountFirst, QWidget* parent)
    : QAbstractButton(parent), title_(std::move(title)), countFirst_(showsCountFirst) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&countText_, &design::NumericText::changed, this, qOverload<>(&QWidget::update));
    setCount(0);
}

QString ReportFilterChip::label() const {
    return countFirst_ ? QString::number(count_) + QStringLiteral(" passed") : title_;
}

void ReportFilterChip::setCount(qsizetype count) {
    count_ = count;
    // The count rolls to its new value while the chip is shown.
    countText_.setText(QString::number(count_),
                       isVisible() ? reportFilterBarMotion.spring(0.36) : design::Motion::none());
    setText(label());
    setAccessibleName(countFirst_ ? label() : title_ + u' ' + QString::number(count_));
    updateGeometry();
    update();
}

void ReportFilterChip::setSelected(bool selected) {
    setChecked(selected);
    update();
}

QSize ReportFilterChip::sizeHint() const {
    const QFontMetrics title(design::textStyleFont(TextStyle::bodyEmphasized));
    if (countFirst_) {
        return {title.horizontalAdvance(label()) + 2 * 10, 30};
    }
    const QFontMetrics count(design::textStyleFont(TextStyle::monoCaption));
    return {title.horizontalAdvance(title_) + chipSpacing +
                count.horizontalAdvance(QString::number(count_)) + 2 * 11,
            30};
}

void ReportFilterChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    design::paintCapsuleFocusRing(painter, *this);
    const bool selected = isChecked();
    const QFont titleFont = design::textStyleFont(TextStyle::bodyEmphasized);
    painter.setFont(titleFont);
    painter.setPen(selected ? palette::textPrimary() : palette::textSecondary());
    if (countFirst_) {
        design::drawText(painter, rect(), Qt::AlignCenter, label());
        return;
    }
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title_);
    design::drawText(painter, design::leading(*this, QRect(11, 0, titleWidth + 1, height())),
                     Qt::AlignVCenter | Qt::AlignLeft, title_);
    painter.setFont(design::textStyleFont(TextStyle::monoCaption));
    painter.setPen(selected ? palette::accent() : palette::textTertiary());
    countText_.paint(
        painter,
        design::leading(*this, QRectF(11 + titleWidth + chipSpacing, 0, width(), height())),
        Qt::AlignLeft);
}

ReportFilterBar::ReportFilterBar(QWidget* parent)
    : QWidget(parent), summary_(new design::ElidedText({}, TextStyle::sectionTitle,
                                                       palette::textPrimary(), Qt::ElideRight)),
      group_(new QWidget) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 12, 8, 12);
    layout->setSpacing(14);
    layout->addWidget(summary_);
    // A spacer of at least 12 with the bar's spacing on either side of it.
    layout->addSpacing(14 + 12);
    layout->addStretch(1);

    auto* groupLayout = new QHBoxLayout(group_);
    groupLayout->setContentsMargins(3, 3, 3, 3);
    groupLayout->setSpacing(2);
    const std::array<const char*, 4> titles{"All", "Blockers", "Risks", "Manual"};
    for (std::size_t i = 0; i < titles.size(); ++i) {
        chips_[i] = new ReportFilterChip(QString::fromLatin1(titles[i]), false);
        groupLayout->addWidget(chips_[i]);
    }
    chips_[4] = new ReportFilterChip({}, true);
    layout->addWidget(group_);
    layout->addWidget(chips_[4]);
    for (std::size_t i = 0; i < chips_.size(); ++i) {
        connect(chips_[i], &QAbstractButton::clicked, this,
                [this, i] { emit chipClicked(static_cast<ReportFilterChoice>(i)); });
    }
    connect(&glide_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
    setChoice(ReportFilterChoice::all, design::Motion::none());
}

ReportFilterChip* ReportFilterBar::chip(ReportFilterChoice choice) const {
    return chips_[static_cast<std::size_t>(choice)];
}

QString ReportFilterBar::summary() const {
    return summary_->text();
}

void ReportFilterBar::setReport(const ScanReport& report, bool isPassedSelected) {
    summary_->setText(report::summaryLabel(report, isPassedSelected));
    chip(ReportFilterChoice::all)->setCount(static_cast<qsizetype>(report.findings.size()));
    chip(ReportFilterChoice::blockers)->setCount(blockerCount(report));
    chip(ReportFilterChoice::risks)->setCount(riskCount(report));
    chip(ReportFilterChoice::manual)->setCount(manualCount(report));
    chip(ReportFilterChoice::passed)->setCount(static_cast<qsizetype>(report.passedChecks.size()));
}

void ReportFilterBar::setChoice(ReportFilterChoice choice, const design::Motion& motion) {
    from_ = selectionRect();
    choice_ = choice;
    for (std::size_t i = 0; i < chips_.size(); ++i) {
        chips_[i]->setSelected(static_cast<ReportFilterChoice>(i) == choice);
    }
    glide_.setValue(0);
    glide_.animateTo(1, motion);
    update();
}

QRectF ReportFilterBar::chipRect(ReportFilterChoice choice) const {
    const ReportFilterChip* target = chip(choice);
    return QRectF(target->mapTo(this, QPoint(0, 0)), QSizeF(target->size()));
}

QRectF ReportFilterBar::selectionRect() const {
    const QRectF to = chipRect(choice_);
    if (glide_.value() >= 1 || from_.isEmpty()) {
        return to;
    }
    return lerp(from_, to, glide_.value());
}

void ReportFilterBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    from_ = {};
}

void ReportFilterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(design::capsulePath(QRectF(group_->geometry())),
                     palette::withOpacity(Qt::white, groupFillOpacity));
    painter.fillPath(design::capsulePath(selectionRect()),
                     palette::withOpacity(palette::accent(), 0.13));
    painter.fillRect(QRect(0, height() - 1, width(), 1),
                     palette::withOpacity(palette::hairline(), 0.5));
}

} // namespace bw::report
