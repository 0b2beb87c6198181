#include "services/screenshots/AcceptedScreenshotSizes.h"

#include <array>

namespace bw {

const QSet<PixelSize>& acceptedScreenshotSizes() {
    static const QSet<PixelSize> sizes = [] {
        constexpr std::array<std::array<qint64, 2>, 43> table{{
            {1260, 2736}, {1290, 2796}, {1320, 2868}, {1284, 2778}, {1242, 2688}, {1179, 2556},
            {1206, 2622}, {1170, 2532}, {1125, 2436}, {1080, 2340}, {1242, 2208}, {750, 1334},
            {640, 1096},  {640, 1136},  {600, 1136},  {640, 920},   {640, 960},   {600, 960},
            {2064, 2752}, {2048, 2732}, {1488, 2266}, {1668, 2420}, {1668, 2388}, {1640, 2360},
            {1668, 2224}, {1536, 2008}, {1536, 2048}, {1496, 2048}, {768, 1004},  {768, 1024},
            {748, 1024},  {800, 1280},  {900, 1440},  {1600, 2560}, {1800, 2880}, {1080, 1920},
            {2160, 3840}, {422, 514},   {410, 502},   {416, 496},   {396, 484},   {368, 448},
            {312, 390},
        }};
        QSet<PixelSize> set;
        for (const auto& [shortSide, longSide] : table) {
            set.insert({shortSide, longSide});
        }
        return set;
    }();
    return sizes;
}

} // namespace bw
