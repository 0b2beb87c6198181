#include "ui/window/GuidelineRow.h"

#include "model/ReportHelpers.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::window {

namespace palette = design::palette;
using design::TextStyle;

namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind guidelineRowMotion = design::MotionKind::keeping();

constexpr int padding = 16;
constexpr int verticalPadding = 14;
constexpr int idWidth = 58;
constexpr int categoryWidth = 132;
constexpr int spacing = 17;
constexpr int minimumTitleWidth = 280;

QString categorySymbol(FindingCategory category) {
    switch (category) {
    case FindingCategory::package:
        return QStringLiteral("shippingbox");
    case FindingCategory::signing:
        return QStringLiteral("checkmark.seal");
    case FindingCategory::privacy:
        return QStringLiteral("hand.raised");
    case FindingCategory::permissions:
        return QStringLiteral("key");
    case FindingCategory::binary:
        return QStringLiteral("cpu");
    case FindingCategory::resources:
        return QStringLiteral("folder");
    case FindingCategory::payments:
        return QStringLiteral("creditcard");
    case FindingCategory::metadata:
        return QStringLiteral("doc.text");
    case FindingCategory::screenshots:
        return QStringLiteral("photo.on.rectangle");
    case FindingCategory::manual:
        return QStringLiteral("eye");
    }
    return {};
}

qreal lineHeight(TextStyle style) {
    return QFontMetricsF(design::textStyleFont(style)).height();
}

qreal arrowWidth() {
    return design::symbolSize(10).width();
}

} // namespace

struct GuidelineRow::Layout {
    bool wide;
    QRectF id;
    QRectF category;
    QRectF arrow;
    QRectF title;
    QRectF summary;
    int height;
};

GuidelineRow::GuidelineRow(const GuidelineReference& reference, QWidget* parent)
    : design::HoverButton(parent, design::HoverButtonStyle{guidelineRowMotion.easeOut(0.14)}),
      reference_(reference) {
    setAccessibleName(QStringLiteral("Guideline %1, %2").arg(reference.id, reference.title));
    setAccessibleDescription(QStringLiteral("Open on Apple Developer"));
    setAttribute(Qt::WA_Hover);
    design::activateOnReturn(*this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

GuidelineRow::Layout GuidelineRow::layoutFor(int width) const {
    Layout layout{};
    const qreal content = width - 2 * padding;
    const qreal arrow = arrowWidth();
    const qreal wideTitle = content - idWidth - categoryWidth - arrow - 3 * spacing;
    layout.wide = wideTitle >= minimumTitleWidth;
    const qreal titleWidth = layout.wide ? wideTitle : content;
    const QFontMetricsF summary(design::textStyleFont(TextStyle::subtitle));
    const qreal summaryHeight = summary
                                    .boundingRect(QRectF(0, 0, std::max<qreal>(1, titleWidth), 1e6),
                                                  Qt::TextWordWrap, reference_.summary)
                                    .height();
    const qreal titleHeight = lineHeight(TextStyle::rowTitle);
    const qreal blockHeight = titleHeight + 5 + summaryHeight;
    qreal top = verticalPadding;
    qreal contentHeight = blockHeight;
    if (layout.wide) {
        const qreal middle = verticalPadding + blockHeight / 2;
        const qreal line =
            std::max(lineHeight(TextStyle::monoLabel), lineHeight(TextStyle::caption));
        layout.id = QRectF(padding, middle - line / 2, idWidth, line);
        const qreal blockLeft = padding + idWidth + spacing;
        layout.title = QRectF(blockLeft, top, titleWidth, titleHeight);
        layout.category =
            QRectF(blockLeft + titleWidth + spacing, middle - line / 2, categoryWidth, line);
        layout.arrow = QRectF(width - padding - arrow, middle - line / 2, arrow, line);
    } else {
        const qreal line =
            std::max(lineHeight(TextStyle::monoLabel), lineHeight(TextStyle::caption));
        const qreal id = QFontMetricsF(design::textStyleFont(TextStyle::monoLabel))
                             .horizontalAdvance(reference_.id);
        layout.id = QRectF(padding, top, id, line);
        layout.category = QRectF(padding + id + 10, top, content - id - 10 - arrow - 10, line);
        layout.arrow = QRectF(width - padding - arrow, top, arrow, line);
        top += line + 8;
        contentHeight += line + 8;
        layout.title = QRectF(padding, top, titleWidth, titleHeight);
    }
    layout.summary =
        QRectF(layout.title.left(), layout.title.bottom() + 5, titleWidth, summaryHeight);
    layout.height = std::max(92, int(std::ceil(contentHeight + 2 * verticalPadding)));
    // A short row keeps its content centred in the minimum height.
    const qreal slack = (layout.height - contentHeight - 2 * verticalPadding) / 2;
    for (QRectF* rect :
         {&layout.id, &layout.category, &layout.arrow, &layout.title, &layout.summary}) {
        rect->translate(0, slack);
    }
    return layout;
}

bool GuidelineRow::isWide() const {
    return layoutFor(width()).wide;
}

int GuidelineRow::heightForWidth(int width) const {
    return layoutFor(width).height;
}

QSize GuidelineRow::sizeHint() const {
    const int width = this->width() > 0 ? this->width() : 720;
    return {720, heightForWidth(width)};
}

QSize GuidelineRow::minimumSizeHint() const {
    return {200, 92};
}

QColor GuidelineRow::arrowColor(qreal hoverProgress) {
    return palette::mix(palette::textTertiary(), palette::textSecondary(), hoverProgress);
}

void GuidelineRow::paintCategory(QPainter& painter, const QRectF& rect) const {
    const QColor color = palette::textTertiary();
    design::paintSymbol(painter,
                        design::leading(*this, QRectF(rect.left(), rect.top(), 14, rect.height())),
                        categorySymbol(reference_.category), TextStyle::medium12, color);
    const QFont font = design::textStyleFont(TextStyle::caption);
    painter.setFont(font);
    painter.setPen(color);
    const QRectF text = rect.adjusted(14 + 7, 0, 0, 0);
    design::drawText(
        painter, design::leading(*this, text), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(font).elidedText(title(reference_.category), Qt::ElideRight, text.width()));
}

void GuidelineRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal hover = hoverProgress();
    painter.fillPath(design::continuousRoundedRect(QRectF(rect()), 18),
                     palette::withOpacity(palette::cardHoverFill(), hover));
    design::paintFocusRing(painter, *this, 18);
    const Layout layout = layoutFor(width());
    painter.setFont(design::textStyleFont(TextStyle::monoLabel));
    painter.setPen(palette::textSecondary());
    design::drawText(painter, design::leading(*this, layout.id), Qt::AlignLeft | Qt::AlignVCenter,
                     reference_.id);
    paintCategory(painter, layout.category);
    // The arrow points out of the row, up and away from the leading edge.
    const QRectF arrow = design::leading(*this, layout.arrow.translated(-2 * (1 - hover), 0));
    painter.save();
    design::faceForward(painter, *this, arrow.center().x());
    design::paintSymbol(painter, arrow, u"arrow.up.right", 10, QFont::DemiBold, arrowColor(hover));
    painter.restore();

    const QFont titleFont = design::textStyleFont(TextStyle::rowTitle);
    painter.setFont(titleFont);
    painter.setPen(palette::textPrimary());
    design::drawText(painter, design::leading(*this, layout.title),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(titleFont).elidedText(reference_.title, Qt::ElideRight,
                                                         layout.title.width()));
    painter.setFont(design::textStyleFont(TextStyle::subtitle));
    painter.setPen(palette::textSecondary());
    design::drawText(painter, design::leading(*this, layout.summary),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, reference_.summary);
}

} // namespace bw::window
