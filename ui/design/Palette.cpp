#include "ui/design/Palette.h"

#include <algorithm>

namespace bw::design::palette {

// Each colour is built once, by the thread-safe initialisation of a function-local constant.
#define BW_COLOR(name, ...)                                                                        \
    const QColor& name() {                                                                         \
        static const QColor color = __VA_ARGS__;                                                   \
        return color;                                                                              \
    }

BW_COLOR(canvas, QColor(9, 9, 9))
BW_COLOR(menuSurface, QColor(20, 20, 20))
BW_COLOR(tileSurface, QColor(28, 28, 28))
BW_COLOR(dropZoneSurface, QColor(17, 17, 17))
BW_COLOR(hairline, QColor(42, 42, 42))
BW_COLOR(textPrimary, QColor(245, 245, 245))
BW_COLOR(textSecondary, QColor(163, 163, 163))
BW_COLOR(textTertiary, QColor(115, 115, 115))
BW_COLOR(iconBackdrop, QColor(11, 11, 11))
BW_COLOR(iconPlaceholder, tileSurface())
BW_COLOR(iconGlyph, textPrimary())
BW_COLOR(runwayTrack, QColor(32, 32, 32))
BW_COLOR(sidebarSurface, QColor(12, 12, 12))
BW_COLOR(accent, QColor(10, 132, 255))
BW_COLOR(success, QColor(61, 202, 126))
BW_COLOR(successSurface, QColor(18, 48, 36))
BW_COLOR(danger, QColor(255, 92, 92))
BW_COLOR(dangerSurface, QColor(58, 21, 24))
BW_COLOR(warning, QColor(245, 165, 36))
BW_COLOR(info, QColor(100, 210, 255))
BW_COLOR(rowFillStrong, withOpacity(Qt::white, 0.075))
BW_COLOR(rowFillSoft, withOpacity(Qt::white, 0.045))
BW_COLOR(windowBackground, canvas())
BW_COLOR(hoverFill, rowFillSoft())
BW_COLOR(separator, withOpacity(hairline(), 0.62))
BW_COLOR(focusRing, withOpacity(accent(), 0.8))
BW_COLOR(rule, withOpacity(hairline(), 0.72))
BW_COLOR(trackLine, withOpacity(hairline(), 0.9))
BW_COLOR(cardHoverFill, withOpacity(Qt::white, 0.036))
BW_COLOR(capsuleFill, withOpacity(Qt::white, 0.06))
BW_COLOR(capsuleHoverFill, withOpacity(Qt::white, 0.1))
BW_COLOR(menuSeparator, withOpacity(Qt::white, 0.075))

#undef BW_COLOR

QColor withOpacity(const QColor& color, qreal opacity) {
    QColor result = color;
    result.setAlphaF(float(color.alphaF() * opacity));
    return result;
}

QColor mix(const QColor& from, const QColor& to, qreal t) {
    const float k = float(std::clamp(t, qreal(0), qreal(1)));
    const auto between = [k](float a, float b) { return a + (b - a) * k; };
    // Premultiplied: over any background the blend shows what lies between what its two ends
    // show there. Straight colour lets an opaque colour fading into a faint one flare on the way.
    const float alpha = between(from.alphaF(), to.alphaF());
    if (alpha <= 0) {
        return QColor::fromRgbF(0, 0, 0, 0);
    }
    const auto channel = [&](float a, float b) {
        return std::clamp(between(a * from.alphaF(), b * to.alphaF()) / alpha, 0.0f, 1.0f);
    };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), alpha);
}

} // namespace bw::design::palette
