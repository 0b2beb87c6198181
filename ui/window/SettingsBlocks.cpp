#include "ui/window/SettingsBlocks.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Hairline.h"
#include "ui/design/Labels.h"
#include "ui/design/Leading.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace bw::window {

namespace palette = design::palette;
using design::TextStyle;

namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind settingsBlocksMotion = design::MotionKind::keeping();

constexpr int padding = 14;
constexpr int verticalPadding = 12;
constexpr int iconSize = 22;
constexpr int spacing = 13;
constexpr int minimumTextWidth = 260;
constexpr int minimumRowHeight = 64;

qreal textWidth(TextStyle style, const QString& text) {
    return QFontMetricsF(design::textStyleFont(style)).horizontalAdvance(text);
}

// The capsule of a pill or link, ringed while it has the keyboard focus.
void paintCapsule(QPainter& painter, const QWidget& widget, const QColor& fill) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(design::capsulePath(QRectF(widget.rect())), fill);
    design::paintCapsuleFocusRing(painter, widget);
}

} // namespace

SettingsSection::SettingsSection(const QString& title, QWidget* parent)
    : QWidget(parent), rows_(new QVBoxLayout) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    auto* heading =
        design::makeLabel(title.toUpper(), TextStyle::eyebrow, palette::textTertiary(), this);
    heading->setContentsMargins(design::leadingMargins(*heading, {2, 0, 0, 0}));
    column->addWidget(heading);
    rows_->setSpacing(0);
    column->addLayout(rows_);
    setAccessibleName(title);
}

void SettingsSection::addRow(QWidget* row) {
    rows_->addWidget(row);
}

void SettingsSection::addDivider() {
    rows_->addWidget(new design::Hairline(
        palette::separator(), QMargins(padding + iconSize + spacing, 4, padding, 4), this));
}

void SettingsSection::addMessage(QWidget* message) {
    message->setContentsMargins(
        design::leadingMargins(*this, {padding + iconSize + spacing, 6, padding, 4}));
    rows_->addWidget(message);
}

SettingsRow::SettingsRow(const QString& systemImage, const QString& title, const QString& detail,
                         QWidget* trailing, QWidget* parent)
    : QWidget(parent), icon_(new design::SymbolWidget(systemImage, 15, QFont::Medium, this)),
      title_(design::makeLabel(title, TextStyle::bodyEmphasized, palette::textPrimary(), this)),
      detail_(design::makeLabel(detail, TextStyle::caption, palette::textSecondary(), this)),
      trailing_(trailing) {
    icon_->setColor(palette::textTertiary());
    detail_->setWordWrap(true);
    design::alignText(detail_, Qt::AlignLeft | Qt::AlignTop);
    if (trailing_) {
        trailing_->setParent(this);
    }
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setAccessibleName(title);
}

void SettingsRow::setDetail(const QString& detail) {
    detail_->setText(detail);
    updateGeometry();
    resizeEvent(nullptr);
}

QString SettingsRow::detail() const {
    return detail_->text();
}

QSize SettingsRow::trailingSize() const {
    return trailing_ ? trailing_->sizeHint() : QSize(0, 0);
}

bool SettingsRow::isWide(int width) const {
    // The texts ask for their width on one line, at least 260; the spacer for 16.
    const qreal texts =
        std::max({qreal(minimumTextWidth), textWidth(TextStyle::bodyEmphasized, title_->text()),
                  textWidth(TextStyle::caption, detail_->text())});
    return wideTextWidth(width) >= texts;
}

int SettingsRow::wideTextWidth(int width) const {
    // The spacer of at least 16 keeps the row's spacing on both sides; the trailing content, when
    // there is any, one more before it.
    const int trailing = trailingSize().width();
    return width - 2 * padding - iconSize - spacing - spacing - 16 -
           (trailing > 0 ? spacing + trailing : 0);
}

int SettingsRow::detailHeight(int width, bool limited) const {
    const QFontMetricsF metrics(design::textStyleFont(TextStyle::caption));
    const qreal full =
        metrics
            .boundingRect(QRectF(0, 0, std::max(1, width), 1e6), Qt::TextWordWrap, detail_->text())
            .height();
    return int(std::ceil(limited ? std::min(full, 2 * metrics.lineSpacing()) : full));
}

int SettingsRow::heightForWidth(int width) const {
    const int textLeft = padding + iconSize + spacing;
    const int title = title_->sizeHint().height();
    const QSize trailing = trailingSize();
    int content;
    if (isWide(width)) {
        content = std::max(
            {iconSize, title + 3 + detailHeight(wideTextWidth(width), true), trailing.height()});
    } else {
        content = std::max(title, trailing.height()) + 8 +
                  detailHeight(width - textLeft - padding, false);
    }
    return std::max(minimumRowHeight, content + 2 * verticalPadding);
}

QSize SettingsRow::sizeHint() const {
    const int width = this->width() > 0 ? this->width() : 700;
    return {700, heightForWidth(width)};
}

QSize SettingsRow::minimumSizeHint() const {
    return {iconSize + 2 * padding + 120, minimumRowHeight};
}

void SettingsRow::resizeEvent(QResizeEvent*) {
    // Worked out from the leading edge: mirrored, the icon stands at the right.
    const auto place = [this](QWidget* part, int x, int y, int width, int height) {
        part->setGeometry(design::leading(*this, QRect(x, y, width, height)));
    };
    const int textLeft = padding + iconSize + spacing;
    const QSize trailing = trailingSize();
    const int title = title_->sizeHint().height();
    if (isWide(width())) {
        const int textWidth = wideTextWidth(width());
        const int detail = detailHeight(textWidth, true);
        const int block = title + 3 + detail;
        const int middle = height() / 2;
        place(icon_, padding, middle - iconSize / 2, iconSize, iconSize);
        place(title_, textLeft, middle - block / 2, textWidth, title);
        place(detail_, textLeft, middle - block / 2 + title + 3, textWidth, detail);
        if (trailing_) {
            place(trailing_, width() - padding - trailing.width(), middle - trailing.height() / 2,
                  trailing.width(), trailing.height());
        }
    } else {
        const int line = std::max(title, trailing.height());
        const int textWidth = width() - textLeft - padding;
        place(icon_, padding, verticalPadding, iconSize, iconSize);
        const int titleWidth =
            textWidth - (trailing.width() > 0 ? 12 + 8 + 12 + trailing.width() : 0);
        place(title_, textLeft, verticalPadding + (line - title) / 2, titleWidth, title);
        if (trailing_) {
            place(trailing_, width() - padding - trailing.width(),
                  verticalPadding + (line - trailing.height()) / 2, trailing.width(),
                  trailing.height());
        }
        place(detail_, textLeft, verticalPadding + line + 8, textWidth,
              detailHeight(textWidth, false));
    }
}

QLabel* makeSettingsValue(const QString& title, QWidget* parent) {
    auto* value = design::makeLabel(title, TextStyle::label, palette::textSecondary(), parent);
    value->setContentsMargins(4, 0, 4, 0);
    return value;
}

SettingsPillButton::SettingsPillButton(const QString& title, Style style, QWidget* parent)
    : design::HoverButton(parent, design::HoverButtonStyle{settingsBlocksMotion.easeOut(0.14)}),
      style_(style) {
    setText(title);
    setAccessibleName(title);
    setAttribute(Qt::WA_Hover);
}

QSize SettingsPillButton::sizeHint() const {
    const int natural = std::max(76, int(std::ceil(textWidth(TextStyle::label, text()))) + 26);
    return {style_.fixedWidth.value_or(natural), 32};
}

void SettingsPillButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setOpacity(isEnabled() ? 1.0 : 0.42);
    const qreal hover = hoverProgress();
    QColor fill;
    QColor text;
    if (style_.isDestructive) {
        fill = palette::withOpacity(palette::danger(), 0.09 + 0.07 * hover);
        text = palette::danger();
    } else if (style_.isProminent) {
        fill = palette::withOpacity(palette::accent(), 1 - 0.14 * hover);
        text = Qt::white;
    } else {
        fill = palette::mix(palette::capsuleFill(), palette::capsuleHoverFill(), hover);
        text = palette::textPrimary();
    }
    paintCapsule(painter, *this, fill);
    const QFont font = design::textStyleFont(TextStyle::label);
    painter.setFont(font);
    painter.setPen(text);
    design::drawText(painter, rect().adjusted(13, 0, -13, 0), Qt::AlignCenter,
                     QFontMetricsF(font).elidedText(this->text(), Qt::ElideRight, width() - 26));
}

SettingsExternalLink::SettingsExternalLink(const QString& title, const QUrl& url, UrlOpener open,
                                           QWidget* parent)
    : design::HoverButton(parent, design::HoverButtonStyle{settingsBlocksMotion.easeOut(0.14)}),
      url_(url) {
    setText(title);
    setAccessibleName(title);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this, open = std::move(open)] { open(url_); });
}

QSize SettingsExternalLink::sizeHint() const {
    const qreal content = textWidth(TextStyle::label, text()) + 6 + design::symbolSize(9).width();
    return {std::max(76, int(std::ceil(content)) + 26), 32};
}

void SettingsExternalLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal hover = hoverProgress();
    paintCapsule(painter, *this,
                 palette::mix(palette::capsuleFill(), palette::capsuleHoverFill(), hover));
    const qreal title = textWidth(TextStyle::label, text());
    const QSizeF arrow = design::symbolSize(9);
    const qreal left = (width() - title - 6 - arrow.width()) / 2;
    painter.setFont(design::textStyleFont(TextStyle::label));
    painter.setPen(palette::textPrimary());
    design::drawText(painter, design::leading(*this, QRectF(left, 0, title + 1, height())),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
    const QRectF arrowFrame =
        design::leading(*this, QRectF(left + title + 6 - (1 - hover), 0, arrow.width(), height()));
    // The arrow points out, up and away from the leading edge.
    design::faceForward(painter, *this, arrowFrame.center().x());
    design::paintSymbol(painter, arrowFrame, u"arrow.up.right", 9, QFont::DemiBold,
                        palette::textPrimary());
}

} // namespace bw::window
