#pragma once

#include <vector>

class QWidget;

namespace bw::test {

// How a widget is drawn at one moment of its entrance: the opacity it is drawn at, how many
// points below its place, and at what size about its centre.
struct EntranceFrame {
    double opacity;
    double drop;
    double scale;
};

// For each of `parts`, the frames of its entrance drawn part-way in (neither hidden nor
// settled), sampled together until every entrance is over or `limitMs` have passed. Each part's
// top edge must be in view.
std::vector<std::vector<EntranceFrame>> entranceFrames(const std::vector<QWidget*>& parts,
                                                       int limitMs = 2000);

} // namespace bw::test
