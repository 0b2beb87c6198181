#include "ui/workspace/RejectionNotice.h"

#include "app/AppModel.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextBlock.h"
#include "ui/design/TextStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <utility>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind rejectionNoticeMotion = design::MotionKind::skipping();

using design::TextStyle;

const QString unsupported = u"Unsupported file type"_qs;
constexpr auto symbolRole = design::TextStyle::medium12;
constexpr qreal spacing = 6;
constexpr qreal horizontalPadding = 12;
constexpr qreal verticalPadding = 6;

// The system's own red, not the palette's danger colour: the notice keeps the platform's look.
QColor systemRed() {
    return QColor(255, 69, 58);
}

} // namespace

QString shownExtension(const QString& fileExtension) {
    qsizetype start = 0;
    qsizetype end = fileExtension.size();
    while (start < end && fileExtension[start] == u'.') {
        ++start;
    }
    while (end > start && fileExtension[end - 1] == u'.') {
        --end;
    }
    const QString trimmed = fileExtension.mid(start, end - start).toLower();
    return trimmed.isEmpty() ? QString() : u'.' + trimmed;
}

RejectionNotice::RejectionNotice(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setMinimumHeight(28);
    present(modelContent());
    shownCount_ = model.importRejectionCount();
    presence_.setValue(shown_ == Content{} ? 0 : 1);
    setAccessibleName(text());
    connect(&model, &AppModel::importRejectionChanged, this, &RejectionNotice::follow);
    connect(&model, &AppModel::importMessageChanged, this, &RejectionNotice::follow);
    connect(&model, &AppModel::importRejectionCountChanged, this, &RejectionNotice::follow);
    connect(&presence_, &design::AnimatedValue::valueChanged, this, [this](double value) {
        if (value <= 0 && presence_.target() <= 0) {
            present(modelContent());
        }
        update();
    });
}

RejectionNotice::Content RejectionNotice::modelContent() const {
    if (const auto& rejection = model_.importRejection()) {
        return {true, shownExtension(rejection->fileExtension), {}};
    }
    if (const auto& message = model_.importMessage()) {
        return {false, {}, *message};
    }
    return {};
}

QString RejectionNotice::text() const {
    const Content content = modelContent();
    if (content.isRejection) {
        return content.extension.isEmpty() ? unsupported : unsupported + u' ' + content.extension;
    }
    return content.message;
}

// A new notice (also the same file refused again) enters afresh; a removed one fades out first.
void RejectionNotice::follow() {
    const Content next = modelContent();
    const int count = model_.importRejectionCount();
    if (next == shown_ && count == shownCount_ && presence_.target() > 0) {
        return;
    }
    shownCount_ = count;
    setAccessibleName(text());
    // Before the window first shows (the history's notice arrives while it is being built), the
    // notice is simply there in the first frame.
    if (!window()->isVisible()) {
        present(next);
        presence_.setValue(next == Content{} ? 0 : 1);
        return;
    }
    const design::Motion motion = motion_ ? *motion_ : rejectionNoticeMotion.spring(0.28);
    if (next == Content{}) {
        presence_.animateTo(0, motion);
        return;
    }
    present(next);
    presence_.setValue(0);
    presence_.animateTo(1, motion);
}

void RejectionNotice::withMotion(const design::Motion& motion,
                                 const std::function<void()>& change) {
    const std::optional<design::Motion> outer = std::exchange(motion_, motion);
    change();
    motion_ = outer;
}

void RejectionNotice::present(Content content) {
    if (content == shown_) {
        return;
    }
    shown_ = std::move(content);
    updateGeometry();
}

QSize RejectionNotice::sizeHint() const {
    const QFontMetricsF metrics(design::textStyleFont(TextStyle::label));
    return QSize(int(metrics.horizontalAdvance(unsupported)) + 120, 28);
}

int RejectionNotice::heightForWidth(int width) const {
    if (shown_.isRejection || shown_.message.isEmpty()) {
        return minimumHeight();
    }
    const QFont font = design::textStyleFont(TextStyle::subtitle);
    const qsizetype lines = design::breakLines(shown_.message, font, width).size();
    return std::max(minimumHeight(), int(std::ceil(lines * QFontMetricsF(font).lineSpacing() +
                                                   2 * verticalPadding)));
}

void RejectionNotice::paintEvent(QPaintEvent*) {
    const double presence = presence_.value();
    if (presence <= 0 || shown_ == Content{}) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(std::min(1.0, presence));
    if (!shown_.isRejection) {
        return paintMessage(painter);
    }
    // Rises 4 points and grows from 0.98 as it enters.
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre.x(), centre.y() - 4 * (1 - presence));
    const qreal scale = 0.98 + 0.02 * presence;
    painter.scale(scale, scale);
    painter.translate(-centre);
    paintRejection(painter);
}

void RejectionNotice::paintRejection(QPainter& painter) {
    const QFont labelFont = design::textStyleFont(TextStyle::label);
    const QFont monoFont = design::textStyleFont(TextStyle::monoLabel);
    const QSizeF symbol = design::symbolSize(symbolRole);
    const qreal labelWidth = QFontMetricsF(labelFont).horizontalAdvance(unsupported);
    const qreal extensionWidth =
        shown_.extension.isEmpty()
            ? 0
            : spacing + QFontMetricsF(monoFont).horizontalAdvance(shown_.extension);
    const qreal contentWidth = symbol.width() + spacing + labelWidth + extensionWidth;
    const qreal contentHeight = std::max(symbol.height(), QFontMetricsF(labelFont).height());
    const QRectF capsule((width() - contentWidth) / 2 - horizontalPadding,
                         (height() - contentHeight) / 2 - verticalPadding,
                         contentWidth + 2 * horizontalPadding, contentHeight + 2 * verticalPadding);
    const QPainterPath path = design::capsulePath(capsule.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillPath(path, design::palette::withOpacity(design::palette::dangerSurface(), 0.88));
    painter.setPen(QPen(design::palette::withOpacity(design::palette::danger(), 0.18), 1));
    painter.drawPath(path);

    const QColor red = systemRed();
    qreal x = capsule.left() + horizontalPadding;
    const QRectF symbolRect(x, capsule.center().y() - symbol.height() / 2, symbol.width(),
                            symbol.height());
    design::paintSymbol(painter, design::leading(*this, symbolRect), u"xmark.circle.fill",
                        symbolRole, red);
    x = symbolRect.right() + spacing;
    painter.setPen(red);
    painter.setFont(labelFont);
    design::drawText(
        painter, design::leading(*this, QRectF(x, capsule.top(), labelWidth + 1, capsule.height())),
        Qt::AlignLeft | Qt::AlignVCenter, unsupported);
    if (!shown_.extension.isEmpty()) {
        painter.setFont(monoFont);
        design::drawText(painter,
                         design::leading(*this, QRectF(x + labelWidth + spacing, capsule.top(),
                                                       extensionWidth + 1, capsule.height())),
                         Qt::AlignLeft | Qt::AlignVCenter, shown_.extension);
    }
}

void RejectionNotice::paintMessage(QPainter& painter) {
    const QFont font = design::textStyleFont(TextStyle::subtitle);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(design::palette::textSecondary());
    const QStringList lines = design::breakLines(shown_.message, font, width());
    // Each line centred, the block in the middle of the notice.
    qreal top = (height() - lines.size() * metrics.lineSpacing()) / 2;
    for (const QString& line : lines) {
        design::drawText(painter, QRectF(0, top, width(), metrics.lineSpacing()), Qt::AlignCenter,
                         line);
        top += metrics.lineSpacing();
    }
}

} // namespace bw::workspace
