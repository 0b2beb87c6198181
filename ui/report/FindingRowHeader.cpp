#include "ui/report/FindingRowHeader.h"

#include "model/FindingText.h"
#include "model/RawValue.h"
#include "model/ReportHelpers.h"
#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReadingText.h"
#include "ui/report/ReportTexts.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

using namespace Qt::Literals::StringLiterals;

namespace bw::report {
namespace {

namespace palette = design::palette;
using design::TextStyle;

constexpr int verticalPadding = 15;
constexpr int lineSpacing = 6;
constexpr int chevronBox = 26;
constexpr int symbolBox = 12;
constexpr int dotSize = 3;

struct Fonts {
    QFont eyebrow = design::textStyleFont(TextStyle::eyebrow);
    QFont caption = design::textStyleFont(TextStyle::caption);
    QFont title = design::textStyleFont(TextStyle::rowTitle);
};

const Fonts& fonts() {
    static const Fonts shared;
    return shared;
}

// Lays the title out in lines of `width` and returns their height. Lines break between words,
// and inside a word only when it is wider than a line, so no title is ever cut; a line break in
// the text starts a new line, as it does in every other text of the screen. Each line stands at
// the `leading` edge.
qreal layOutTitle(QTextLayout& layout, const QString& title, qreal width,
                  Qt::Alignment leading = Qt::AlignLeft) {
    QString text = title;
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u'\n', QChar::LineSeparator);
    layout.setText(text);
    layout.setFont(fonts().title);
    QTextOption option(leading);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

// Where the header's parts go at a width: text column, chevron at the top trailing corner.
struct Geometry {
    QRectF severityLine;
    QRectF title;
    QRectF metaLine;
    QRectF chevron;
    int height;

    Geometry(const Finding& finding, int width, int inset) {
        // The row's spacing of 12 on either side of a spacer of at least 12.
        const qreal textWidth = std::max(1, width - 2 * inset - chevronBox - 3 * 12);
        const qreal severityHeight =
            std::max<qreal>({QFontMetricsF(fonts().eyebrow).height(),
                             QFontMetricsF(fonts().caption).height(), qreal(symbolBox)});
        QTextLayout layout;
        const qreal titleHeight = layOutTitle(layout, finding.title, textWidth);
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

// Draws a run of texts and separator dots from the leading edge, each centred on the line.
class LinePainter {
public:
    LinePainter(QPainter& painter, const QWidget& widget, const QRectF& line, int spacing)
        : painter_(painter), widget_(widget), line_(line), x_(line.left()), spacing_(spacing) {}

    void text(const QString& text, const QFont& font, const QColor& color) {
        painter_.setFont(font);
        painter_.setPen(color);
        const qreal width = QFontMetricsF(font).horizontalAdvance(text);
        design::drawText(
            painter_, design::leading(widget_, QRectF(x_, line_.top(), width + 1, line_.height())),
            Qt::AlignLeft | Qt::AlignVCenter, text);
        advance(width);
    }

    void dot(const QColor& color) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(color);
        painter_.drawEllipse(design::leading(
            widget_, QRectF(x_, line_.center().y() - dotSize / 2.0, dotSize, dotSize)));
        advance(dotSize);
    }

    void symbol(const QString& name, const QColor& color) {
        const QRectF box = design::leading(
            widget_, QRectF(x_, line_.center().y() - symbolBox / 2.0, symbolBox, symbolBox));
        design::paintSymbol(painter_, box, name, 9, QFont::Medium, color);
        advance(symbolBox);
    }

private:
    void advance(qreal width) { x_ += width + spacing_; }

    QPainter& painter_;
    const QWidget& widget_;
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
    // Tab reaches it; a click leaves the keyboard focus where it was.
    setFocusPolicy(Qt::TabFocus);
    design::activateOnReturn(*this);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    for (const design::AnimatedValue* value : {&hover_, &turn_}) {
        connect(value, &design::AnimatedValue::valueChanged, this, [this] { update(); });
    }
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
    setAccessibleDescription(selected ? QStringLiteral("Collapse details")
                                      : QStringLiteral("Show details"));
    turn_.animateTo(selected ? 1 : 0, motion);
}

void FindingRowHeader::setHovering(bool hovering, const design::Motion& motion) {
    hover_.animateTo(hovering ? 1 : 0, motion);
}

void FindingRowHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Geometry geometry(finding_, width(), inset_);
    // The header is the top of the row's rounded rectangle.
    design::paintFocusRing(painter, *this, 18);

    LinePainter severity(painter, *this, geometry.severityLine, 7);
    const bool blocker = finding_.severity == FindingSeverity::blocker;
    severity.text(severityWord(finding_.severity).toUpper(), fonts().eyebrow,
                  blocker ? palette::danger() : palette::textSecondary());
    severity.dot(palette::withOpacity(palette::textTertiary(), 0.7));
    severity.symbol(
        report::categorySymbol(finding_.category),
        palette::mix(palette::textTertiary(), palette::textSecondary(), hover_.value()));
    severity.text(title(finding_.category), fonts().caption, palette::textSecondary());

    QTextLayout title;
    layOutTitle(title, finding_.title, geometry.title.width(),
                QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft));
    painter.setPen(palette::textPrimary());
    title.draw(&painter, design::leading(*this, geometry.title).topLeft());

    LinePainter meta(painter, *this, geometry.metaLine, 12);
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
    const QRectF chevron = design::leading(*this, geometry.chevron);
    painter.translate(chevron.center());
    painter.rotate(180 * turn);
    painter.translate(-chevron.center());
    // The colour follows the turn, as both follow the row's selection.
    design::paintSymbol(painter, chevron, u"chevron.down", 9, QFont::DemiBold,
                        palette::mix(palette::textTertiary(), palette::textSecondary(), turn));
}

} // namespace bw::report
