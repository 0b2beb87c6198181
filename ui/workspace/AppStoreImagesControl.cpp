#include "ui/workspace/AppStoreImagesControl.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Leading.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::workspace {

namespace {

// Every motion of this kind is skipped under reduce motion.
const design::MotionKind appStoreImagesControlMotion = design::MotionKind::skipping();

namespace palette = design::palette;

constexpr qreal symbolPointSize = 11;
constexpr qreal spacing = 8;
constexpr QSizeF track{28, 16};
constexpr qreal knobPadding = 2;
constexpr qreal disabledOpacity = 0.48;

QFont titleFont() {
    return design::textStyleFont(design::TextStyle::label);
}

} // namespace

AppStoreImagesControl::AppStoreImagesControl(const QString& title, std::function<bool()> read,
                                             std::function<void(bool)> write, QWidget* parent)
    : design::HoverButton(parent), isOn_(std::move(read)), setOn_(std::move(write)) {
    setText(title);
    setAccessibleName(title);
    connect(this, &QAbstractButton::clicked, this, [this] { setOn_(!isOn_()); });
    connect(&knob_, &design::AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    knob_.setValue(isOn() ? 1 : 0);
    refresh();
}

void AppStoreImagesControl::refresh() {
    setAccessibleDescription(isOn() ? QStringLiteral("On") : QStringLiteral("Off"));
    const double target = isOn() ? 1 : 0;
    if (knob_.target() != target) {
        knob_.animateTo(target, appStoreImagesControlMotion.spring(0.18, 1));
    }
    update();
}

QSize AppStoreImagesControl::sizeHint() const {
    const qreal width = design::symbolSize(symbolPointSize).width() + spacing +
                        QFontMetricsF(titleFont()).horizontalAdvance(text()) + spacing +
                        track.width();
    return {int(std::ceil(width)), 30};
}

void AppStoreImagesControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1 : disabledOpacity);
    const qreal hover = hoverProgress();
    const qreal on = knob_.value();
    const QColor foreground =
        palette::mix(palette::textSecondary(), palette::textPrimary(), std::max(on, hover));
    const qreal midY = height() / 2.0;

    const QSizeF symbol = design::symbolSize(symbolPointSize);
    design::paintSymbol(painter,
                        design::leading(*this, QRectF({0, midY - symbol.height() / 2}, symbol)),
                        u"photo.on.rectangle.angled", symbolPointSize, QFont::DemiBold, foreground);
    qreal x = symbol.width() + spacing;
    const qreal titleWidth = QFontMetricsF(titleFont()).horizontalAdvance(text());
    painter.setFont(titleFont());
    painter.setPen(foreground);
    design::drawText(painter, design::leading(*this, QRectF(x, 0, titleWidth + 1, height())),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
    x += titleWidth + spacing;

    const QRectF trackRect({x, midY - track.height() / 2}, track);
    const QRectF placedTrack = design::leading(*this, trackRect);
    const QColor offTrack = QColor::fromRgbF(1, 1, 1, float(0.1 + 0.06 * hover));
    painter.fillPath(design::capsulePath(placedTrack),
                     palette::mix(offTrack, palette::accent(), on));
    const qreal knob = track.height() - 2 * knobPadding;
    const qreal travel = track.width() - 2 * knobPadding - knob;
    const QColor offKnob = palette::mix(palette::textSecondary(), palette::textPrimary(), hover);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::mix(offKnob, Qt::white, on));
    painter.drawEllipse(design::leading(*this, QRectF(trackRect.left() + knobPadding + travel * on,
                                                      trackRect.top() + knobPadding, knob, knob)));
    painter.setOpacity(1);
    design::paintCapsuleFocusRing(painter, *this);
}

} // namespace bw::workspace
