#include "ui/report/ReportHistoryFilterButton.h"

#include "ui/design/Leading.h"
#include "ui/design/Motion.h"
#include "ui/design/NumericText.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::report {

namespace palette = design::palette;
using design::TextStyle;

namespace {

// The chip's selection is skipped under reduce motion; its count always rolls.
const design::MotionKind reportHistoryFilterButtonMotion = design::MotionKind::skipping();
const design::MotionKind countMotion = design::MotionKind::keeping();

QString countText(qsizetype count) {
    return QString::number(count);
}

} // namespace

ReportHistoryFilterButton::ReportHistoryFilterButton(const QString& title, QWidget* parent)
    : design::SelectableChip(title, reportHistoryFilterButtonMotion.spring(0.26), parent),
      countText_(new design::NumericText(countText(0), this)) {
    connect(countText_, &design::NumericText::changed, this, qOverload<>(&QWidget::update));
    updateAccessibleName();
}

void ReportHistoryFilterButton::setCount(qsizetype count) {
    if (count_ != count) {
        count_ = count;
        // The count rolls up or down to its new value; a chip not yet shown just takes it.
        countText_->setText(countText(count_),
                            isVisible() ? countMotion.spring(0.26) : design::Motion::none());
        updateAccessibleName();
        updateGeometry();
        update();
    }
}

void ReportHistoryFilterButton::updateAccessibleName() {
    setAccessibleName(text());
    setAccessibleDescription(
        QStringLiteral("%1 %2%3")
            .arg(count_)
            .arg(count_ == 1 ? QStringLiteral("report") : QStringLiteral("reports"))
            .arg(isSelected() ? QStringLiteral(", selected") : QString()));
}

QSize ReportHistoryFilterButton::sizeHint() const {
    const qreal title =
        QFontMetricsF(design::textStyleFont(TextStyle::label)).horizontalAdvance(text());
    const qreal count = QFontMetricsF(design::textStyleFont(TextStyle::monoCaption))
                            .horizontalAdvance(countText(count_));
    return {int(std::ceil(12 + title + 6 + count + 12)), 38};
}

void ReportHistoryFilterButton::paintContent(QPainter& painter, qreal selected) {
    const QFont titleFont = design::textStyleFont(TextStyle::label);
    const QFont countFont = design::textStyleFont(TextStyle::monoCaption);
    const qreal titleWidth = QFontMetricsF(titleFont).horizontalAdvance(text());
    painter.setFont(titleFont);
    painter.setPen(palette::mix(palette::textSecondary(), palette::textPrimary(), selected));
    design::drawText(painter, design::leading(*this, QRectF(12, 0, titleWidth + 1, height())),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
    painter.setFont(countFont);
    painter.setPen(palette::mix(palette::textTertiary(), palette::textSecondary(), selected));
    countText_->paint(painter,
                      design::leading(*this, QRectF(12 + titleWidth + 6, 0, width(), height())),
                      Qt::AlignLeft);
}

} // namespace bw::report
