#include "ui/workspace/ReviewSteps.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QFontMetricsF>
#include <QPainter>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind reviewStepsMotion = design::MotionKind::skipping();

namespace palette = design::palette;

constexpr qreal iconSide = 36;
constexpr qreal symbolPoints = 16;

QColor textColor(ScanProgressStepState state) {
    switch (state) {
    case ScanProgressStepState::complete:
        return palette::textSecondary();
    case ScanProgressStepState::active:
        return palette::textPrimary();
    case ScanProgressStepState::pending:
        break;
    }
    return palette::textTertiary();
}

QColor iconColor(ScanProgressStepState state) {
    switch (state) {
    case ScanProgressStepState::complete:
        return palette::textSecondary();
    case ScanProgressStepState::active:
        return palette::accent();
    case ScanProgressStepState::pending:
        break;
    }
    return palette::withOpacity(palette::textTertiary(), 0.72);
}

} // namespace

QString spokenText(ScanProgressStepState state) {
    switch (state) {
    case ScanProgressStepState::complete:
        return u"Complete"_qs;
    case ScanProgressStepState::active:
        return u"In progress"_qs;
    case ScanProgressStepState::pending:
        break;
    }
    return u"Pending"_qs;
}

std::vector<ScanProgressStep> scanProgressSteps(bool withScreenshots) {
    std::vector<ScanProgressStep> steps = {
        {u"Reading build"_qs, u"shippingbox"_qs, 0.2},
        {u"Verifying integrity"_qs, u"checkmark.seal"_qs, 0.48},
        {u"Checking privacy"_qs, u"hand.raised"_qs, 0.72},
        {u"Mapping review risks"_qs, u"checkmark.shield"_qs, withScreenshots ? 0.9 : 1.0}};
    if (withScreenshots) {
        steps.push_back({u"Reviewing screens"_qs, u"rectangle.stack"_qs, 1.0});
    }
    return steps;
}

ReviewStepView::ReviewStepView(const ScanProgressStep& step, Orientation orientation,
                               QWidget* parent)
    : QWidget(parent), step_(step), orientation_(orientation) {
    setAccessibleName(step.title);
    setAccessibleDescription(spokenText(state_));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (design::AnimatedValue* change : {&change_, &iconChange_}) {
        connect(change, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    }
}

void ReviewStepView::setState(ScanProgressStepState state, bool animated) {
    if (state == state_) {
        return;
    }
    previous_ = state_;
    state_ = state;
    setAccessibleDescription(spokenText(state));
    // The row's colours and weight move with one spring, its icon with a quicker one.
    for (auto [change, response] : {std::pair{&change_, 0.32}, {&iconChange_, 0.22}}) {
        change->setValue(0);
        change->animateTo(1,
                          animated ? reviewStepsMotion.spring(response) : design::Motion::none());
    }
}

void ReviewStepView::setCompact(bool compact) {
    compact_ = compact;
    updateGeometry();
}

QFont ReviewStepView::titleFont(ScanProgressStepState state) const {
    using design::TextStyle;
    const bool active = state == ScanProgressStepState::active;
    if (orientation_ == Orientation::row) {
        return design::textStyleFont(active ? TextStyle::stepTitleRowActive
                                            : TextStyle::stepTitleRow);
    }
    return design::textStyleFont(active ? TextStyle::stepTitleColumnActive
                                        : TextStyle::stepTitleColumn);
}

QSize ReviewStepView::sizeHint() const {
    const QFontMetricsF metrics(titleFont(ScanProgressStepState::active));
    if (orientation_ == Orientation::row) {
        return QSize(int(iconSide + 10 + metrics.horizontalAdvance(step_.title)) + 9,
                     compact_ ? 38 : 42);
    }
    return QSize(int(metrics.horizontalAdvance(step_.title)) + 11,
                 int(iconSide + 8 + metrics.height()) + 1);
}

QSize ReviewStepView::minimumSizeHint() const {
    return QSize(int(iconSide) + 10, sizeHint().height());
}

void ReviewStepView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double icon = iconChange_.value();
    if (icon < 1) {
        paintIcon(painter, previous_, 1 - icon);
    }
    paintIcon(painter, state_, icon);
    const double title = change_.value();
    if (title < 1) {
        paintTitle(painter, previous_, 1 - title);
    }
    paintTitle(painter, state_, title);
}

QRectF ReviewStepView::iconRect() const {
    return orientation_ == Orientation::row
               ? QRectF(4, (height() - iconSide) / 2, iconSide, iconSide)
               : QRectF((width() - iconSide) / 2, 0, iconSide, iconSide);
}

void ReviewStepView::paintIcon(QPainter& painter, ScanProgressStepState state, double opacity) {
    painter.setOpacity(opacity);
    const QRectF icon = design::leading(*this, iconRect());
    if (state == ScanProgressStepState::active) {
        const QRectF circle(icon.center() - QPointF(13, 13), QSizeF(26, 26));
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette::withOpacity(palette::accent(), 0.065));
        painter.drawEllipse(circle);
    }
    const QString symbol =
        state == ScanProgressStepState::complete ? u"checkmark.circle.fill"_qs : step_.symbol;
    design::paintSymbol(painter, icon, symbol, symbolPoints, QFont::DemiBold, iconColor(state));
}

void ReviewStepView::paintTitle(QPainter& painter, ScanProgressStepState state, double opacity) {
    painter.setOpacity(opacity);
    const QRectF icon = iconRect();
    QFont font = titleFont(state);
    const QFontMetricsF metrics(font);
    QRectF text;
    Qt::Alignment alignment;
    if (orientation_ == Orientation::row) {
        text = QRectF(icon.right() + 10, 0, width() - icon.right() - 14, height());
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    } else {
        text = QRectF(5, icon.bottom() + 8, width() - 10, metrics.height());
        alignment = Qt::AlignHCenter | Qt::AlignTop;
        // A narrow column shrinks its title down to 0.84 of its size before it cuts it.
        const qreal needed = metrics.horizontalAdvance(step_.title);
        if (needed > text.width()) {
            font.setPixelSize(int(font.pixelSize() * std::max(0.84, text.width() / needed)));
        }
    }
    painter.setFont(font);
    painter.setPen(textColor(state));
    const QString line = QFontMetricsF(font).elidedText(step_.title, Qt::ElideRight, text.width());
    design::drawText(painter, design::leading(*this, text), alignment, line);
}
} // namespace bw::workspace
