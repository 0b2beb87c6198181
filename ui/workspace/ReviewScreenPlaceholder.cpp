#include "ui/workspace/ReviewScreenPlaceholder.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/workspace/ReviewAreaText.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace bw::workspace {

namespace {

namespace palette = design::palette;

constexpr qreal badgeSink = 2;

// The largest size from `size` down to `size × minimumScale` at which `text` fits `lines` lines
// of `width`; the smallest when none does.
QFont fittedFont(const QString& text, design::TextStyle role, qreal size, qreal minimumScale,
                 qreal width, int lines) {
    QFont font = design::textStyleFont(role, size);
    for (qreal scale = 1; scale >= minimumScale - 1e-9; scale -= 0.02) {
        font = design::textStyleFont(role, size * std::max(scale, minimumScale));
        const QFontMetricsF metrics(font);
        const QRectF needed =
            metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text);
        if (needed.height() <= metrics.lineSpacing() * lines + 0.5 &&
            (lines > 1 || metrics.horizontalAdvance(text) <= width)) {
            break;
        }
    }
    return font;
}

} // namespace

PlaceholderMetrics PlaceholderMetrics::forWidth(qreal w) {
    return {std::clamp(0.13 * w, 12.0, 20.0), std::clamp(0.068 * w, 7.0, 11.0),
            std::clamp(0.048 * w, 5.5, 8.5),  std::clamp(0.12 * w, 11.0, 18.0),
            std::clamp(0.045 * w, 4.0, 8.0),  std::clamp(0.018 * w, 1.5, 3.0),
            std::clamp(0.015 * w, 1.0, 3.0),  0.08 * w};
}

ReviewScreenPlaceholder::ReviewScreenPlaceholder(ScreenshotPrompt prompt, QWidget* parent)
    : QWidget(parent), prompt_(prompt) {}

void ReviewScreenPlaceholder::setTargetProgress(qreal progress) {
    progress_ = progress;
    update();
}

void ReviewScreenPlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());
    const qreal t = progress_;
    painter.fillRect(bounds, palette::mix(palette::tileSurface(),
                                          palette::withOpacity(palette::accent(), 0.1), t));
    const auto& text = reviewAreaText(prompt_);
    const auto m = PlaceholderMetrics::forWidth(bounds.width());
    const qreal textWidth = std::max(1.0, bounds.width() - 2 * m.subtitlePadding);
    const QFont titleFont = fittedFont(text.shortTitle, design::TextStyle::placeholderTitle,
                                       m.titleSize, 0.65, bounds.width(), 1);
    const QFont subtitleFont = fittedFont(text.subtitle, design::TextStyle::placeholderSubtitle,
                                          m.subtitleSize, 0.72, textWidth, 2);
    const QFontMetricsF titleMetrics(titleFont);
    const QFontMetricsF subtitleMetrics(subtitleFont);
    const qreal subtitleHeight = std::min(
        subtitleMetrics.boundingRect(QRectF(0, 0, textWidth, 1e6), Qt::TextWordWrap, text.subtitle)
            .height(),
        2 * subtitleMetrics.lineSpacing());
    const QSizeF symbol = design::symbolSize(m.symbolSize);
    const QSizeF badge = design::symbolSize(m.badgeSize);
    const qreal total = symbol.height() + m.outerSpacing + titleMetrics.height() + m.titleSpacing +
                        subtitleHeight + m.outerSpacing + m.badgeTopPadding + badge.height();
    qreal y = (bounds.height() - total) / 2;

    const QColor tint = palette::mix(palette::textSecondary(), palette::accent(), t);
    design::paintSymbol(painter, QRectF({(bounds.width() - symbol.width()) / 2, y}, symbol),
                        text.symbol, m.symbolSize, QFont::Medium, tint);
    y += symbol.height() + m.outerSpacing;
    painter.setFont(titleFont);
    painter.setPen(palette::textPrimary());
    design::drawText(painter, QRectF(0, y, bounds.width(), titleMetrics.height()), Qt::AlignCenter,
                     titleMetrics.elidedText(text.shortTitle, Qt::ElideRight, bounds.width()));
    y += titleMetrics.height() + m.titleSpacing;
    painter.setFont(subtitleFont);
    painter.setPen(palette::textSecondary());
    design::drawText(painter, QRectF(m.subtitlePadding, y, textWidth, subtitleHeight),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text.subtitle);
    // The badge turns once clockwise and sinks while it becomes the drop arrow.
    y += subtitleHeight + m.outerSpacing + m.badgeTopPadding + badgeSink * t;
    const QRectF badgeRect({(bounds.width() - badge.width()) / 2, y}, badge);
    painter.translate(badgeRect.center());
    painter.rotate(360 * t);
    painter.translate(-badgeRect.center());
    design::paintSymbol(
        painter, badgeRect, isTargeted() ? u"arrow.down.circle.fill" : u"plus.circle.fill",
        m.badgeSize, QFont::DemiBold, palette::mix(palette::textTertiary(), palette::accent(), t));
}

} // namespace bw::workspace
