#pragma once

#include <QSet>
#include <QSize>
#include <QtGlobal>

namespace bw {

// A pixel size without orientation: the shorter and the longer side.
struct PixelSize {
    qint64 shortSide;
    qint64 longSide;

    static PixelSize of(qint64 width, qint64 height) {
        return {qMin(width, height), qMax(width, height)};
    }
    bool operator==(const PixelSize&) const = default;
};

inline size_t qHash(const PixelSize& size, size_t seed = 0) {
    return qHashMulti(seed, size.shortSide, size.longSide);
}

// The product screenshot sizes that App Store Connect accepts for iPhone, iPad, Mac, Apple TV,
// Vision Pro and Apple Watch; built once, on first use.
const QSet<PixelSize>& acceptedScreenshotSizes();

} // namespace bw
