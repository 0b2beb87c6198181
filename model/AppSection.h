#pragma once

#include "model/RawValue.h"

namespace bw {

// The destination shown in the main window; its case doubles as the identity of its list row.
enum class AppSection { scan, recents, guidelines, settings };

template <> struct RawValueTable<AppSection> {
    static constexpr std::array<QStringView, 4> rawValues{u"scan", u"recents", u"guidelines",
                                                          u"settings"};
};

} // namespace bw
