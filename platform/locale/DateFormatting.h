#pragma once

#include <QDateTime>
#include <QString>

namespace bw::locale {

// `date` in the user's locale and time zone with an abbreviated date and a short time, as the
// platform's date formatter writes it (in English "Feb 1, 2021, 12:00 PM").
QString abbreviatedDateShortTime(const QDateTime& date);

} // namespace bw::locale
