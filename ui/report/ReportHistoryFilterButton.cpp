#include "ui/report/ReportHistoryFilterButton.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::report {

namespace palette = design::palette;
using design::TextStyle;

namespace {

QString countText(qsizetype count) {
    return QString::number(count);
}

} // namespace

ReportHistoryFilterButton::ReportHistoryFilterButton(const QString& title, QWidget* parent)
    : design::HoverButton(parent, design::HoverButtonStyle{design::Motion::easeOut(0.15)}),
      selection_(new design::AnimatedValue(0, this)) {
    setText(title);
    setCheckable(false);
    // Tab reaches it; a click leaves the keyboard focus where it was (in the search field).
    setAttribute(Qt::WA_Hover);
    connect(selection_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    updateAccessibleName();
}

void ReportHistoryFilterButton::setCount(qsizetype count) {
    if (count_ != count) {
        count_ = count;
        updateAccessibleName();
        updateGeometry();
        update();
    }
}

void ReportHistoryFilterButton::setSelected(bool selected, bool animated) {
    selected_ = selected;
    const double target = selected ? 1 : 0;
    if (animated) {
        selection_->animateTo(target, design::Motion::spring(0.26));
    } else {
        selection_->setValue(target);
    }
    updateAccessibleName();
}

bool ReportHistoryFilterButton::isAnimating() const {
    return selection_->isRunning();
}

void ReportHistoryFilterButton::updateAccessibleName() {
    setAccessibleName(text());
    setAccessibleDescription(
        QStringLiteral("%1 %2%3")
            .arg(count_)
            .arg(count_ == 1 ? QStringLiteral("report") : QStringLiteral("reports"))
            .arg(selected_ ? QStringLiteral(", selected") : QString()));
}

QSize ReportHistoryFilterButton::sizeHint() const {
    const qreal title =
        QFontMetricsF(design::textStyleFont(TextStyle::label)).horizontalAdvance(text());
    const qreal count = QFontMetricsF(design::textStyleFont(TextStyle::monoCaption))
                            .horizontalAdvance(countText(count_));
    return {int(std::ceil(12 + title + 6 + count + 12)), 38};
}

void ReportHistoryFilterButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal selected = selection_->value();
    // The selected fill wins over the hover fill.
    const qreal fill = 0.09 * selected + 0.045 * hoverProgress() * (1 - selected);
    painter.fillPath(design::capsulePath(QRectF(rect())), QColor::fromRgbF(1, 1, 1, fill));

    const QFont titleFont = design::textStyleFont(TextStyle::label);
    const QFont countFont = design::textStyleFont(TextStyle::monoCaption);
    const qreal titleWidth = QFontMetricsF(titleFont).horizontalAdvance(text());
    painter.setFont(titleFont);
    painter.setPen(palette::mix(palette::textSecondary(), palette::textPrimary(), selected));
    painter.drawText(QRectF(12, 0, titleWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     text());
    painter.setFont(countFont);
    painter.setPen(palette::mix(palette::textTertiary(), palette::textSecondary(), selected));
    painter.drawText(QRectF(12 + titleWidth + 6, 0, width(), height()),
                     Qt::AlignLeft | Qt::AlignVCenter, countText(count_));
    design::paintCapsuleFocusRing(painter, *this);
}

} // namespace bw::report
