#include "ui/workspace/ExtensionChip.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QFontMetricsF>
#include <QPainter>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind extensionChipMotion = design::MotionKind::skipping();

constexpr qreal horizontalPadding = 9;
constexpr qreal verticalPadding = 5;
constexpr qreal spacing = 5;
constexpr auto symbolRole = design::TextStyle::medium12;

} // namespace

ExtensionChip::ExtensionChip(const QString& text, const QString& symbol, QWidget* parent)
    : QWidget(parent), text_(text), symbol_(symbol) {
    setAccessibleName(text);
    connect(&emphasis_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void ExtensionChip::setEmphasized(bool emphasized) {
    if (emphasized != emphasized_) {
        emphasized_ = emphasized;
        emphasis_.animateTo(emphasized ? 1 : 0, isVisible() ? extensionChipMotion.spring(0.26)
                                                            : design::Motion::none());
    }
}

QSize ExtensionChip::sizeHint() const {
    const QFontMetricsF metrics(design::textStyleFont(design::TextStyle::monoLabel));
    const QSizeF symbol = design::symbolSize(symbolRole);
    const qreal width =
        horizontalPadding * 2 + symbol.width() + spacing + metrics.horizontalAdvance(text_);
    const qreal height = verticalPadding * 2 + std::max(symbol.height(), metrics.height());
    return QSizeF(width, height).toSize() + QSize(1, 1);
}

void ExtensionChip::paintEvent(QPaintEvent*) {
    using namespace design::palette;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal t = emphasis_.value();
    const QColor fill = mix(withOpacity(Qt::white, 0.035), withOpacity(accent(), 0.1), t);
    const QColor border = mix(withOpacity(Qt::white, 0.045), withOpacity(accent(), 0.18), t);
    painter.fillPath(design::capsulePath(bounds), fill);
    painter.setPen(QPen(border, 1));
    painter.drawPath(design::capsulePath(bounds));

    const QColor color = mix(textSecondary(), accent(), t);
    const QSizeF symbol = design::symbolSize(symbolRole);
    const QRectF symbolRect(horizontalPadding, (height() - symbol.height()) / 2, symbol.width(),
                            symbol.height());
    const qreal textLeft = symbolRect.right() + spacing;
    const QRectF textRect(textLeft, 0, width() - horizontalPadding - textLeft, height());
    // The symbol leads: on the right under a right-to-left layout.
    design::paintSymbol(painter, design::leading(*this, symbolRect), symbol_, symbolRole, color);
    painter.setFont(design::textStyleFont(design::TextStyle::monoLabel));
    painter.setPen(color);
    // An extension is spelt the same either way: ".ipa", never "ipa.".
    design::drawText(painter, design::leading(*this, textRect), Qt::AlignLeft | Qt::AlignVCenter,
                     text_);
}

} // namespace bw::workspace
