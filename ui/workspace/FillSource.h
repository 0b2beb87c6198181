#pragma once

#include <QRectF>
#include <algorithm>

namespace bw::workspace {

// The part of an image of `image` size that fills `target` with its aspect ratio kept, centred:
// what is drawn when a picture fills a frame and the overflow is cut off.
inline QRectF fillSource(QSizeF image, QSizeF target) {
    const qreal scale = std::max(target.width() / image.width(), target.height() / image.height());
    const QSizeF shown(target.width() / scale, target.height() / scale);
    return {QPointF((image.width() - shown.width()) / 2, (image.height() - shown.height()) / 2),
            shown};
}

} // namespace bw::workspace
