#pragma once

#include <QString>

namespace bw::locale {

// `fraction` (0.13 for thirteen percent) as a whole percentage in the user's locale, as the
// platform's percent formatter writes it: "13%" in English, "13 %" in German.
QString wholePercent(double fraction);

} // namespace bw::locale
