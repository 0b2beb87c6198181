#pragma once

#include <QColor>

namespace bw::workspace {

// `from` moved towards `to` by `t` (0...1), alpha included: the colours of a change under way.
inline QColor blend(const QColor& from, const QColor& to, qreal t) {
    const auto mix = [t](float a, float b) { return float(a + (b - a) * t); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                            mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

} // namespace bw::workspace
