#include "ui/report/FindingCopyButton.h"

#include "platform/clock/Clock.h"
#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"
#include "ui/report/Pasteboard.h"
#include "ui/report/ReadingText.h"

#include <QPainter>

namespace bw::report {

namespace {

// This kind never consults reduce motion: its motions always play.
const design::MotionKind findingCopyButtonMotion = design::MotionKind::keeping();

} // namespace
namespace palette = design::palette;

FindingCopyButton::FindingCopyButton(QString text, QString label, Clock& clock,
                                     const Pasteboard& pasteboard, QWidget* parent)
    : design::HoverButton(parent, {findingCopyButtonMotion.easeOut(0.16)}), text_(std::move(text)),
      label_(std::move(label)), clock_(clock), pasteboard_(pasteboard) {
    setFixedSize(sizeHint());
    setToolTip(label_);
    setAccessibleName(label_);
    connect(this, &QAbstractButton::clicked, this, &FindingCopyButton::copyToPasteboard);
    connect(&copied_, &design::AnimatedValue::valueChanged, this, [this] { update(); });
}

QString FindingCopyButton::shownText() const {
    return didCopy_ ? QStringLiteral("Copied") : label_;
}

void FindingCopyButton::copyToPasteboard() {
    // A clipboard that dropped the text must not be confirmed as a copy.
    if (!pasteboard_.copy(text_)) {
        return;
    }
    const qint64 generation = ++copyGeneration_;
    setDidCopy(true, findingCopyButtonMotion.spring(0.26, 0.8));
    clock_.schedule(seconds(1.4), this, [this, generation] {
        if (copyGeneration_ == generation) {
            setDidCopy(false, findingCopyButtonMotion.spring(0.24, 0.85));
        }
    });
}

void FindingCopyButton::setDidCopy(bool didCopy, const design::Motion& motion) {
    didCopy_ = didCopy;
    setAccessibleName(shownText());
    copied_.animateTo(didCopy ? 1 : 0, motion);
    // The hover look gives way to the confirmation.
    withholdHoverLook(didCopy);
    update();
}

bool FindingCopyButton::hitButton(const QPoint& pos) const {
    return design::capsulePath(QRectF(rect())).contains(pos);
}

void FindingCopyButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal copied = copied_.value();
    const qreal hover = hoverProgress();

    // Grows by 1.2 % on hover, never while confirming.
    const qreal scale = 1.0 + 0.012 * hover;
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(scale, scale);
    painter.translate(-width() / 2.0, -height() / 2.0);

    painter.fillPath(design::capsulePath(design::fillInsideFocusRing(*this)), fillColor());
    design::paintCapsuleFocusRing(painter, *this);

    // The symbol and the caption swap with the confirmation: the leaving pair fades out, its
    // symbol shrinking, as the arriving one fades in, its symbol growing into place.
    const qreal shown = std::clamp(copied, 0.0, 1.0);
    paintContent(painter, QStringLiteral("doc.on.doc"), label_, Qt::white, 1 - shown);
    paintContent(painter, QStringLiteral("checkmark"), QStringLiteral("Copied"), palette::success(),
                 shown);
}

QColor FindingCopyButton::fillColor() const {
    const QColor normalFill = palette::withOpacity(palette::accent(), 0.9 + 0.1 * hoverProgress());
    const QColor copiedFill = palette::withOpacity(palette::successSurface(), 0.78);
    return palette::mix(normalFill, copiedFill, copied_.value());
}

void FindingCopyButton::paintContent(QPainter& painter, const QString& symbol,
                                     const QString& caption, const QColor& color,
                                     qreal presence) const {
    if (presence <= 0) {
        return;
    }
    const QFont font = design::textStyleFont(design::TextStyle::label);
    const QSizeF symbolBox = design::symbolSize(11);
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(caption);
    const qreal left = (width() - (symbolBox.width() + 7 + textWidth)) / 2;
    const QRectF symbolRect = design::leading(
        *this, QRectF(QPointF(left, (height() - symbolBox.height()) / 2), symbolBox));
    painter.save();
    painter.setOpacity(presence);
    painter.save();
    const qreal scale = 0.6 + 0.4 * presence;
    painter.translate(symbolRect.center());
    painter.scale(scale, scale);
    painter.translate(-symbolRect.center());
    design::paintSymbol(painter, symbolRect, symbol, 11, QFont::Medium, color);
    painter.restore();
    painter.setFont(font);
    painter.setPen(color);
    design::drawText(
        painter,
        design::leading(*this, QRectF(left + symbolBox.width() + 7, 0, textWidth + 1, height())),
        Qt::AlignVCenter | Qt::AlignLeft, caption);
    painter.restore();
}

} // namespace bw::report
