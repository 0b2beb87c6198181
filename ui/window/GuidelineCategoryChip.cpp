#include "ui/window/GuidelineCategoryChip.h"

#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::window {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind guidelineCategoryChipMotion = design::MotionKind::skipping();

} // namespace

namespace palette = design::palette;

GuidelineCategoryChip::GuidelineCategoryChip(const QString& title, QWidget* parent)
    : design::SelectableChip(title, guidelineCategoryChipMotion.spring(0.24), parent) {
    setAccessibleName(title);
}

void GuidelineCategoryChip::selectionChanged() {
    setAccessibleDescription(isSelected() ? QStringLiteral("Selected") : QString());
}

QSize GuidelineCategoryChip::sizeHint() const {
    const qreal title =
        QFontMetricsF(design::textStyleFont(design::TextStyle::label)).horizontalAdvance(text());
    return {int(std::ceil(title)) + 24, 34};
}

void GuidelineCategoryChip::paintContent(QPainter& painter, qreal selected) {
    painter.setPen(palette::mix(palette::textSecondary(), palette::textPrimary(), selected));
    painter.setFont(design::textStyleFont(design::TextStyle::label));
    design::drawText(painter, rect(), Qt::AlignCenter, text());
}

} // namespace bw::window
