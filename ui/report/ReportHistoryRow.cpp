#include "ui/report/ReportHistoryRow.h"

#include "model/ReportHelpers.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Leading.h"
#include "ui/design/Motion.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/report/ReportActionMenu.h"
#include "ui/report/SecondaryClickTarget.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

namespace bw::report {

namespace palette = design::palette;
using design::TextStyle;

namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind reportHistoryRowMotion = design::MotionKind::keeping();

constexpr int tileSize = 40;
constexpr int leadingPadding = 16;
constexpr int verticalPadding = 12;
constexpr int statusWidth = 140;
constexpr int timeWidth = 78;
constexpr int chevronWidth = 28;
constexpr int trailingPadding = 10;

qreal lineHeight(TextStyle style) {
    return QFontMetricsF(design::textStyleFont(style)).height();
}

QString statusText(Verdict verdict) {
    return verdict == Verdict::needsAttention ? QStringLiteral("Needs attention")
                                              : QStringLiteral("No blockers");
}

QString versionText(const BuildMetadata& metadata) {
    return QStringLiteral("%1 (%2)").arg(metadata.version, metadata.buildNumber);
}

// Draws `text` from the leading edge of `rect` (worked out from the leading edge of `row`),
// elided to fit; returns the width it took.
qreal drawText(QPainter& painter, const QWidget& row, const QRectF& rect, TextStyle style,
               const QColor& color, const QString& text, Qt::TextElideMode elide = Qt::ElideRight,
               Qt::Alignment alignment = Qt::AlignLeft) {
    const QFont font = design::textStyleFont(style);
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(text, elide, rect.width());
    painter.setFont(font);
    painter.setPen(color);
    design::drawText(painter, design::leading(row, rect), alignment | Qt::AlignVCenter, shown);
    return std::min(rect.width(), metrics.horizontalAdvance(shown));
}

// The locale's own order of day, month and year with the month abbreviated and no weekday
// ("Dec 6, 2026", "6 Dec 2026"): Qt has no medium date format, so it is made from the long one.
QString abbreviatedDateFormat(const QLocale& locale) {
    static const QRegularExpression weekday(
        QStringLiteral("^dddd[,\\x{060C}\\s]*|[,\\x{060C}\\s]*dddd$"));
    return locale.dateFormat(QLocale::LongFormat)
        .remove(weekday)
        .replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
}

} // namespace

design::AppIconTileStyle historyIconStyle() {
    design::AppIconTileStyle style;
    style.placeholder = palette::iconPlaceholder();
    style.glyph = palette::textPrimary();
    style.shadow = palette::withOpacity(Qt::black, 0.1);
    style.shadowOffset = 2;
    style.shadowRadius = 4;
    return style;
}

ReportHistoryRow::ReportHistoryRow(QWidget* parent)
    : design::HoverButton(parent, {reportHistoryRowMotion.easeOut(0.14)}) {
    new SecondaryClickTarget(this, [this] { presentActionMenu(); });
    setAttribute(Qt::WA_Hover);
    design::activateOnReturn(*this);
    setAccessibleDescription(QStringLiteral("Opens the saved report."));
    connect(this, &QAbstractButton::clicked, this, [this] { emit openRequested(report_); });
}

void ReportHistoryRow::setReport(const ScanReport& report, const QDateTime& now) {
    if (report.id != report_.id || report.metadata.iconPNG != report_.metadata.iconPNG) {
        icon_ = design::decodeAppIcon(report.metadata.iconPNG);
    }
    report_ = report;
    dateText_ = dateText(report.createdAt, now);
    setAccessibleName(report.metadata.appName + QStringLiteral(", ") + statusText(report.verdict));
    // A reused row belongs to another report: its menu and hover do not carry over.
    if (menu_) {
        menu_->close();
    }
    settleHoverLook();
    update();
}

ReportHistoryRow::TitleLine ReportHistoryRow::titleLine(qreal width) const {
    const QFontMetricsF nameMetrics(design::textStyleFont(TextStyle::rowTitle));
    const QFontMetricsF versionMetrics(design::textStyleFont(TextStyle::monoCaption));
    const QString version = versionText(report_.metadata);
    const qreal available = std::max(0.0, width - 8);
    const qreal nameNeeds = nameMetrics.horizontalAdvance(report_.metadata.appName);
    const qreal versionNeeds = versionMetrics.horizontalAdvance(version);
    // When both do not fit, each keeps what it needs up to half the line and gives the rest to
    // the other, so a long name never pushes the version out entirely.
    qreal versionWidth = versionNeeds;
    if (nameNeeds + versionNeeds > available) {
        versionWidth = std::min(versionNeeds, std::max(available / 2, available - nameNeeds));
    }
    const qreal nameWidth = std::max(0.0, std::min(nameNeeds, available - versionWidth));
    return {nameMetrics.elidedText(report_.metadata.appName, Qt::ElideRight, nameWidth),
            versionMetrics.elidedText(version, Qt::ElideRight, versionWidth)};
}

QString ReportHistoryRow::dateText(const QDateTime& createdAt, const QDateTime& now) {
    const QDateTime local = createdAt.toLocalTime();
    const QLocale locale;
    if (local.date() == now.toLocalTime().date()) {
        // Some locales' short format still shows seconds; the row never does.
        return locale.toString(
            local.time(), locale.timeFormat(QLocale::ShortFormat).remove(QStringLiteral(":ss")));
    }
    return locale.toString(local.date(), abbreviatedDateFormat(locale));
}

bool ReportHistoryRow::canRevealBuild(const ScanReport& report) {
    return !report.sourcePath.isEmpty() && QFileInfo::exists(report.sourcePath);
}

int ReportHistoryRow::rowHeight(int width) {
    const qreal title = lineHeight(TextStyle::rowTitle);
    const qreal caption = lineHeight(TextStyle::caption);
    const qreal content = width >= wideLayoutWidth
                              ? title + 5 + caption
                              : title + 7 + caption + 7 + lineHeight(TextStyle::label);
    return std::max(70, int(std::ceil(2 * verticalPadding + std::max<qreal>(tileSize, content))));
}

QSize ReportHistoryRow::sizeHint() const {
    return {wideLayoutWidth, rowHeight(width() > 0 ? width() : wideLayoutWidth)};
}

QRectF ReportHistoryRow::chevronRect() const {
    return design::leading(*this, QRectF(width() - trailingPadding - chevronWidth,
                                         (height() - 32) / 2.0, chevronWidth, 32));
}

bool ReportHistoryRow::hitButton(const QPoint& position) const {
    // The chevron only anchors the menu; a click on it does nothing.
    return rect().contains(position) && !chevronRect().contains(position);
}

void ReportHistoryRow::presentActionMenu() {
    if (menu_) {
        return;
    }
    menu_ = new ReportActionMenu(report_, canRevealBuild(report_), this);
    connect(menu_, &ReportActionMenu::openRequested, this, [this] { emit openRequested(report_); });
    connect(menu_, &ReportActionMenu::revealBuildRequested, this, [this] {
        if (canRevealBuild(report_)) {
            emit revealBuildRequested(report_);
        }
    });
    connect(menu_, &ReportActionMenu::copyBundleIDRequested, this,
            &ReportHistoryRow::copyBundleIdentifier);
    // Queued, so the menu has closed before the screen asks for confirmation.
    connect(
        menu_, &ReportActionMenu::deleteRequested, this, [this] { emit deleteRequested(report_); },
        Qt::QueuedConnection);
    const QRectF chevron = chevronRect();
    menu_->popUpBeside(QRect(mapToGlobal(chevron.topLeft().toPoint()), chevron.size().toSize()));
}

void ReportHistoryRow::copyBundleIdentifier() {
    // Replaces everything on the clipboard, also with an empty identifier.
    QGuiApplication::clipboard()->setText(report_.metadata.bundleIdentifier);
}

void ReportHistoryRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(design::continuousRoundedRect(QRectF(rect()), 18),
                     palette::withOpacity(palette::cardHoverFill(), hoverProgress()));
    design::paintFocusRing(painter, *this, 18);

    const QRectF chevron = chevronRect();
    const QRectF content(leadingPadding, verticalPadding,
                         width() - trailingPadding - chevronWidth - 4 - leadingPadding,
                         height() - 2 * verticalPadding);
    if (width() >= wideLayoutWidth) {
        paintWide(painter, content);
    } else {
        paintCompact(painter, content);
    }
    design::paintSymbol(painter, chevron, isRightToLeft() ? u"chevron.left" : u"chevron.right", 9,
                        QFont::DemiBold, palette::textTertiary());
}

void ReportHistoryRow::paintTitleLine(QPainter& painter, const QRectF& line) {
    const TitleLine shown = titleLine(line.width());
    const qreal nameWidth = drawText(painter, *this, line, TextStyle::rowTitle,
                                     palette::textPrimary(), shown.name, Qt::ElideNone);
    drawText(painter, *this, line.adjusted(nameWidth + 8, 0, 0, 0), TextStyle::monoCaption,
             palette::textSecondary(), shown.version, Qt::ElideNone);
}

void ReportHistoryRow::paintBuildLine(QPainter& painter, const QRectF& line) {
    const QColor color = palette::textTertiary();
    const qreal platform = drawText(painter, *this, line, TextStyle::caption, color,
                                    platformDisplayName(report_.metadata));
    const QPointF dot(line.left() + platform + 7 + 1.5, line.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::withOpacity(color, 0.65));
    painter.drawEllipse(QPointF(design::leadingX(*this, dot.x()), dot.y()), 1.5, 1.5);
    const QRectF identifier = line.adjusted(platform + 7 + 3 + 7, 0, 0, 0);
    if (identifier.width() > 0) {
        drawText(painter, *this, identifier, TextStyle::caption, color,
                 report_.metadata.bundleIdentifier, Qt::ElideMiddle);
    }
}

void ReportHistoryRow::paintStatus(QPainter& painter, const QRectF& frame,
                                   Qt::Alignment alignment) {
    const QString text = statusText(report_.verdict);
    const QFont font = design::textStyleFont(TextStyle::label);
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const qreal left =
        alignment & Qt::AlignRight ? frame.right() - textWidth - 7 - 7 : frame.left();
    painter.setPen(Qt::NoPen);
    painter.setBrush(report_.verdict == Verdict::needsAttention ? palette::danger()
                                                                : palette::success());
    painter.drawEllipse(QPointF(design::leadingX(*this, left + 3.5), frame.center().y()), 3.5, 3.5);
    drawText(painter, *this,
             QRectF(left + 14, frame.top(), frame.right() - left - 14, frame.height()),
             TextStyle::label, palette::textSecondary(), text);
}

void ReportHistoryRow::paintWide(QPainter& painter, const QRectF& content) {
    const qreal middle = content.center().y();
    design::paintAppIconTile(
        painter,
        design::leading(*this, QRectF(content.left(), middle - tileSize / 2.0, tileSize, tileSize)),
        icon_, reportMonogram(report_.metadata.appName), historyIconStyle());
    const qreal titleHeight = lineHeight(TextStyle::rowTitle);
    const qreal captionHeight = lineHeight(TextStyle::caption);
    const qreal top = middle - (titleHeight + 5 + captionHeight) / 2;
    const qreal left = content.left() + tileSize + 13;
    const qreal blockWidth = content.right() - left - 13 - statusWidth - 13 - timeWidth;
    paintTitleLine(painter, QRectF(left, top, blockWidth, titleHeight));
    paintBuildLine(painter, QRectF(left, top + titleHeight + 5, blockWidth, captionHeight));
    const qreal statusLeft = left + blockWidth + 13;
    paintStatus(painter, QRectF(statusLeft, content.top(), statusWidth, content.height()),
                Qt::AlignRight);
    drawText(painter, *this,
             QRectF(statusLeft + statusWidth + 13, content.top(), timeWidth, content.height()),
             TextStyle::caption, palette::textSecondary(), dateText_, Qt::ElideRight,
             Qt::AlignRight);
}

void ReportHistoryRow::paintCompact(QPainter& painter, const QRectF& content) {
    design::paintAppIconTile(
        painter, design::leading(*this, QRectF(content.left(), content.top(), tileSize, tileSize)),
        icon_, reportMonogram(report_.metadata.appName), historyIconStyle());
    const qreal left = content.left() + tileSize + 12;
    const qreal width = content.right() - left;
    const qreal titleHeight = lineHeight(TextStyle::rowTitle);
    const qreal captionHeight = lineHeight(TextStyle::caption);
    const QFont caption = design::textStyleFont(TextStyle::caption);
    const qreal timeWidth = QFontMetricsF(caption).horizontalAdvance(dateText_);
    paintTitleLine(painter,
                   QRectF(left, content.top(), std::max(0.0, width - timeWidth - 10), titleHeight));
    drawText(painter, *this, QRectF(left, content.top(), width, titleHeight), TextStyle::caption,
             palette::textSecondary(), dateText_, Qt::ElideRight, Qt::AlignRight);
    const qreal buildTop = content.top() + titleHeight + 7;
    paintBuildLine(painter, QRectF(left, buildTop, width, captionHeight));
    paintStatus(painter,
                QRectF(left, buildTop + captionHeight + 7, width, lineHeight(TextStyle::label)),
                Qt::AlignLeft);
}

} // namespace bw::report
