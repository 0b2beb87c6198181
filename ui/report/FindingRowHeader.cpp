#include "ui/report/FindingRowHeader.h"

#include "model/FindingText.h"
#include "model/RawValue.h"
#include "model/ReportHelpers.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReportTexts.h"

#include <QPainter>

namespace bw {
namespace {

namespace palette = design::palette;
using design::TextStyle;

constexpr int verticalPadding = 15;
constexpr int lineSpacing = 6;
constexpr int chevronBox = 26;
constexpr int symbolBox = 12;
constexpr int dotSize = 3;
constexpr int titleFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;

struct Fonts {
    QFont eyebrow = design::textStyleFont(TextStyle::eyebrow);
    QFont caption = design::textStyleFont(TextStyle::caption);
    QFont title = design::textStyleFont(TextStyle::rowTitle);
};

const Fonts& fonts() {
    static const Fonts shared;
    return shared;
}

// Where the header's parts go at a width: text column, chevron at the top trailing corner.
struct Geometry {
    QRectF severityLine;
    QRectF title;
    QRectF metaLine;
    QRectF chevron;
    int height;

    Geometry(const Finding& finding, int width, int inset) {
        const qreal textWidth = std::max(1, width - 2 * inset - chevronBox - 2 * 12);
        const qreal severityHeight =
            std::max<qreal>({QFontMetricsF(fonts().eyebrow).height(),
                             QFontMetricsF(fonts().caption).height(), qreal(symbolBox)});
        const qreal titleHeight =
            QFontMetricsF(fonts().title)
                .boundingRect(QRectF(0, 0, textWidth, 1e6), titleFlags, finding.title)
                .height();
        const qreal metaHeight = QFontMetricsF(fonts().caption).height();
        qreal y = verticalPadding;
        severityLine = QRectF(inset, y, textWidth, severityHeight);
        y += severityHeight + lineSpacing;
        title = QRectF(inset, y, textWidth, titleHeight);
        y += titleHeight + lineSpacing;
        metaLine = QRectF(inset, y, textWidth, metaHeight);
        y += metaHeight;
        const qreal content = std::max<qreal>(y - verticalPadding, chevronBox);
        chevron = QRectF(width - inset - chevronBox, verticalPadding, chevronBox, chevronBox);
        height = int(std::ceil(content + 2 * verticalPadding));
    }
};

// Draws a run of texts and separator dots from left to right, each centred on the line.
class LinePainter {
public:
    LinePainter(QPainter& painter, const QRectF& line, int spacing)
        : painter_(painter), line_(line), x_(line.left()), spacing_(spacing) {}

    void text(const QString& text, const QFont& font, const QColor& color) {
        painter_.setFont(font);
        painter_.setPen(color);
        const qreal width = QFontMetricsF(font).horizontalAdvance(text);
        painter_.drawText(QRectF(x_, line_.top(), width + 1, line_.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
        advance(width);
    }

    void dot(const QColor& color) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(color);
        painter_.drawEllipse(QRectF(x_, line_.center().y() - dotSize / 2.0, dotSize, dotSize));
        advance(dotSize);
    }

    void symbol(const QString& name, const QColor& color) {
        const QRectF box(x_, line_.center().y() - symbolBox / 2.0, symbolBox, symbolBox);
        design::paintSymbol(painter_, box, name, 9, QFont::Medium, color);
        advance(symbolBox);
    }

private:
    void advance(qreal width) { x_ += width + spacing_; }

    QPainter& painter_;
    QRectF line_;
    qreal x_;
    int spacing_;
};

} // namespace

FindingRowHeader::FindingRowHeader(const Finding& finding, int horizontalInset, QWidget* parent)
    : QAbstractButton(parent), finding_(finding), inset_(horizontalInset) {
    setText(finding.title);
    setAccessibleName(severityWord(finding.severity) + QStringLiteral(", ") + finding.title);
    setAccessibleDescription(QStringLiteral("Show details"));
    setCursor(Qt::PointingHandCursor);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(&turn_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
}

int FindingRowHeader::heightFor(const Finding& finding, int width, int horizontalInset) {
    return Geometry(finding, width, horizontalInset).height;
}

int FindingRowHeader::heightForWidth(int width) const {
    return heightFor(finding_, width, inset_);
}

QSize FindingRowHeader::sizeHint() const {
    return {480, heightForWidth(480)};
}

void FindingRowHeader::setSelected(bool selected, const design::Motion& motion) {
    selected_ = selected;
    setAccessibleDescription(selected ? QStringLiteral("Collapse details")
                                      : QStringLiteral("Show details"));
    turn_.animateTo(selected ? 1 : 0, motion);
}

void FindingRowHeader::setHovering(bool hovering) {
    hovering_ = hovering;
    update();
}

void FindingRowHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Geometry geometry(finding_, width(), inset_);

    LinePainter severity(painter, geometry.severityLine, 7);
    const bool blocker = finding_.severity == FindingSeverity::blocker;
    severity.text(severityWord(finding_.severity).toUpper(), fonts().eyebrow,
                  blocker ? palette::danger() : palette::textSecondary());
    severity.dot(palette::withOpacity(palette::textTertiary(), 0.7));
    severity.symbol(ReportTexts::categorySymbol(finding_.category),
                    hovering_ ? palette::textSecondary() : palette::textTertiary());
    severity.text(title(finding_.category), fonts().caption, palette::textSecondary());

    painter.setFont(fonts().title);
    painter.setPen(palette::textPrimary());
    painter.drawText(geometry.title, titleFlags, finding_.title);

    LinePainter meta(painter, geometry.metaLine, 12);
    const QColor tertiary = palette::textTertiary();
    const QColor dot = palette::withOpacity(tertiary, 0.64);
    meta.text(QStringLiteral("Guideline ") + finding_.guideline, fonts().caption, tertiary);
    if (finding_.itms) {
        meta.dot(dot);
        meta.text(*finding_.itms, fonts().caption, tertiary);
    }
    meta.dot(dot);
    meta.text(rawValue(finding_.source), fonts().caption, tertiary);

    const qreal turn = turn_.value();
    const QRectF chevron = geometry.chevron;
    painter.translate(chevron.center());
    painter.rotate(180 * turn);
    painter.translate(-chevron.center());
    design::paintSymbol(painter, chevron, u"chevron.down", 9, QFont::DemiBold,
                        selected_ ? palette::textSecondary() : palette::textTertiary());
}

} // namespace bw
