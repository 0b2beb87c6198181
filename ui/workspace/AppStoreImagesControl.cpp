#include "ui/workspace/AppStoreImagesControl.h"

#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::workspace {

namespace {

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

AppStoreImagesControl::AppStoreImagesControl(const QString& title, std::function<bool()> isOn,
                                             std::function<void(bool)> setOn, QWidget* parent)
    : HoverButton(parent), isOn_(std::move(isOn)), setOn_(std::move(setOn)) {
    setText(title);
    setAccessibleName(title);
    connect(this, &QAbstractButton::clicked, this, [this] { setOn_(!isOn_()); });
    refresh();
}

void AppStoreImagesControl::refresh() {
    setAccessibleDescription(isOn() ? QStringLiteral("On") : QStringLiteral("Off"));
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
    const bool on = isOn();
    const bool hovering = isHovering();
    const QColor foreground = on || hovering ? palette::textPrimary() : palette::textSecondary();
    const qreal midY = height() / 2.0;

    const QSizeF symbol = design::symbolSize(symbolPointSize);
    design::paintSymbol(painter, QRectF({0, midY - symbol.height() / 2}, symbol),
                        u"photo.on.rectangle.angled", symbolPointSize, QFont::DemiBold, foreground);
    qreal x = symbol.width() + spacing;
    const qreal titleWidth = QFontMetricsF(titleFont()).horizontalAdvance(text());
    painter.setFont(titleFont());
    painter.setPen(foreground);
    painter.drawText(QRectF(x, 0, titleWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     text());
    x += titleWidth + spacing;

    const QRectF trackRect({x, midY - track.height() / 2}, track);
    painter.setPen(Qt::NoPen);
    painter.setBrush(on ? palette::accent()
                        : QColor(255, 255, 255, int(255 * (hovering ? 0.16 : 0.1))));
    painter.drawRoundedRect(trackRect, track.height() / 2, track.height() / 2);
    const qreal knob = track.height() - 2 * knobPadding;
    const qreal knobX =
        on ? trackRect.right() - knobPadding - knob : trackRect.left() + knobPadding;
    painter.setBrush(on         ? QColor(Qt::white)
                     : hovering ? palette::textPrimary()
                                : palette::textSecondary());
    painter.drawEllipse(QRectF(knobX, trackRect.top() + knobPadding, knob, knob));
}

} // namespace bw::workspace
