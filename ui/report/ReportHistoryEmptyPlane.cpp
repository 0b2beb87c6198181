#include "ui/report/ReportHistoryEmptyPlane.h"

#include "ui/design/Accessibility.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"

#include <QPainter>

namespace bw::report {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind reportHistoryEmptyPlaneMotion = design::MotionKind::skipping();

} // namespace

namespace palette = design::palette;

ReportHistoryEmptyPlane::ReportHistoryEmptyPlane(QWidget* parent)
    : QWidget(parent), progress_(new design::AnimatedValue(0, this)) {
    setFixedSize(116, 34);
    // Purely decorative: the empty state's texts say what it shows.
    design::hideFromAccessibility(*this);
    connect(progress_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void ReportHistoryEmptyPlane::showEvent(QShowEvent*) {
    if (hasAppeared_) {
        return;
    }
    hasAppeared_ = true;
    progress_->animateAfter(0, 1, reportHistoryEmptyPlaneMotion.spring(0.62));
}

void ReportHistoryEmptyPlane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal t = progress_->value();
    const qreal middle = height() / 2.0;
    design::faceForward(painter, *this, width() / 2.0);
    painter.fillPath(design::capsulePath(QRectF(0, middle - 1, 116, 2)), palette::trackLine());
    painter.fillPath(design::capsulePath(QRectF(0, middle - 1, 4 + 34 * t, 2)),
                     palette::withOpacity(palette::accent(), 0.72));
    design::paintPlane(painter, QRectF(35 * t, middle - 7 - 10, 42, 14), palette::textSecondary());
}

} // namespace bw::report
