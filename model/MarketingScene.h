#pragma once

#include "model/RawValue.h"

namespace bw {

// The scripted scenes of demonstration mode.
enum class MarketingScene { drop, home, scan, flow, showcase, screens, report };

template <> struct RawValueTable<MarketingScene> {
    static constexpr std::array<QStringView, 7> rawValues{
        u"drop", u"home", u"scan", u"flow", u"showcase", u"screens", u"report"};
};

} // namespace bw
