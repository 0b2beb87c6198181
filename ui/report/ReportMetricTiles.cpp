#include "ui/report/ReportMetricTiles.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::report {
namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind reportMetricTilesMotion = design::MotionKind::keeping();

namespace palette = design::palette;
using design::TextStyle;

QFont valueFont() {
    return design::textStyleFont(TextStyle::metricValue);
}

constexpr int tileInset = 8;

} // namespace

CompactReportMetric::CompactReportMetric(qint64 value, QString title,
                                         std::optional<QColor> emphasis, QWidget* parent)
    : QWidget(parent), value_(value), previous_(value), title_(std::move(title)),
      emphasis_(std::move(emphasis)), valueText_(QString::number(value_)) {
    setAccessibleName(title_ + u' ' + QString::number(value_));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&valueText_, &design::NumericText::changed, this, qOverload<>(&QWidget::update));
}

void CompactReportMetric::rollFrom(qint64 previous) {
    previous_ = previous;
    valueText_.setText(QString::number(previous), design::Motion::none());
    valueText_.setText(QString::number(value_), reportMetricTilesMotion.spring(0.44));
}

QColor CompactReportMetric::colorOf(qint64 value) const {
    if (value == 0) {
        return palette::textSecondary();
    }
    return emphasis_.value_or(palette::textPrimary());
}

QSize CompactReportMetric::sizeHint() const {
    const QFontMetrics value(valueFont());
    const QFontMetrics caption(design::textStyleFont(TextStyle::caption));
    const int width = std::max(
        {54, value.horizontalAdvance(QString::number(value_)), caption.horizontalAdvance(title_)});
    return {width, value.height() + 3 + caption.height()};
}

void CompactReportMetric::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFont font = valueFont();
    const int valueHeight = QFontMetrics(font).height();
    painter.setFont(font);
    painter.setPen(valueColor());
    valueText_.paint(painter, QRectF(0, 0, width(), valueHeight), Qt::AlignLeft,
                     colorOf(previous_));
    painter.setFont(design::textStyleFont(TextStyle::caption));
    painter.setPen(palette::textSecondary());
    // A pixel short of the right edge: mirrored, the title ends there and its last letter's ink
    // overhangs its advance.
    design::drawText(painter, QRect(0, valueHeight + 3, width() - 1, height() - valueHeight - 3),
                     Qt::AlignLeft | Qt::AlignTop, title_);
}

BuildMetricView::BuildMetricView(BuildMetric metric, QWidget* parent)
    : QWidget(parent), metric_(std::move(metric)) {
    setAccessibleName(metric_.title + QStringLiteral(": ") + metric_.value);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize BuildMetricView::sizeHint() const {
    const QFontMetrics eyebrow(design::textStyleFont(TextStyle::eyebrow));
    const QFontMetrics value(design::textStyleFont(TextStyle::monoLabel));
    const int titleRow =
        std::max(eyebrow.height(), int(design::symbolSize(TextStyle::medium12).height()));
    const int width = std::max(int(design::symbolSize(TextStyle::medium12).width()) + 6 +
                                   eyebrow.horizontalAdvance(metric_.title),
                               value.horizontalAdvance(metric_.value));
    return {width + 2 * tileInset, std::max(44, titleRow + 4 + value.height())};
}

QSize BuildMetricView::minimumSizeHint() const {
    return {2 * tileInset + 24, sizeHint().height()};
}

void BuildMetricView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont eyebrow = design::textStyleFont(TextStyle::eyebrow);
    const QFont valueFont = design::textStyleFont(TextStyle::monoLabel);
    const QSizeF symbol = design::symbolSize(TextStyle::medium12);
    const int titleRow = std::max(QFontMetrics(eyebrow).height(), int(symbol.height()));
    const int valueHeight = QFontMetrics(valueFont).height();
    const int top = (height() - (titleRow + 4 + valueHeight)) / 2;
    const int inner = width() - 2 * tileInset;

    design::paintSymbol(
        painter,
        design::leading(*this,
                        QRectF(QPointF(tileInset, top + (titleRow - symbol.height()) / 2), symbol)),
        metric_.symbol, TextStyle::medium12, palette::textSecondary());
    painter.setFont(eyebrow);
    painter.setPen(palette::textTertiary());
    const int titleLeft = tileInset + int(symbol.width()) + 6;
    design::drawText(
        painter,
        design::leading(*this, QRect(titleLeft, top, width() - titleLeft - tileInset, titleRow)),
        Qt::AlignLeft | Qt::AlignVCenter, metric_.title);
    painter.setFont(valueFont);
    painter.setPen(palette::textPrimary());
    design::drawText(painter, QRect(tileInset, top + titleRow + 4, inner, valueHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(valueFont).elidedText(metric_.value, Qt::ElideMiddle, inner));
}

} // namespace bw::report
