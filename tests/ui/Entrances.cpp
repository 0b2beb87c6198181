#include "tests/ui/Entrances.h"

#include "tests/ui/TextLayout.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace bw::test {

namespace {

// The frame in which `part` is drawn now, if it is drawn part-way in.
void sample(QWidget& part, std::vector<EntranceFrame>& frames) {
    const QRectF place = part.rect();
    // Drawn with its effect, the entering widget is one picture of its visible part, as wide as
    // it is; its children are inside that picture.
    for (const PaintedPicture& picture : paintedPictures(part)) {
        if (std::abs(picture.size.width() - place.width()) > 0.5 || picture.opacity <= 0.05 ||
            picture.opacity >= 0.95) {
            continue;
        }
        const double scale = picture.target.width() / picture.size.width();
        // Scaled about the widget's centre, moved down by the drop.
        const double centre = place.center().y();
        const double drop = picture.target.top() - centre - scale * (place.top() - centre);
        frames.push_back({picture.opacity, drop, scale});
    }
}

} // namespace

std::vector<std::vector<EntranceFrame>> entranceFrames(const std::vector<QWidget*>& parts,
                                                       int limitMs) {
    std::vector<std::vector<EntranceFrame>> frames(parts.size());
    QElapsedTimer elapsed;
    elapsed.start();
    const auto entering = [&] {
        return std::ranges::any_of(parts, [](QWidget* part) { return part->graphicsEffect(); });
    };
    while (entering() && elapsed.elapsed() < limitMs) {
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (parts[i]->graphicsEffect()) {
                sample(*parts[i], frames[i]);
            }
        }
        QTest::qWait(4);
    }
    return frames;
}

} // namespace bw::test
