#include "platform/locale/DateFormatting.h"

#include <QLocale>
#include <memory>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace bw::locale {

QString abbreviatedDateShortTime(const QDateTime& date) {
    // ICU's medium date style is the abbreviated one ("Feb 1, 2021"); its default time zone is
    // the user's.
    const icu::Locale userLocale(QLocale().name().toUtf8().constData());
    const std::unique_ptr<icu::DateFormat> formatter(icu::DateFormat::createDateTimeInstance(
        icu::DateFormat::kMedium, icu::DateFormat::kShort, userLocale));
    if (!formatter) {
        return QLocale().toString(date.toLocalTime(), QLocale::ShortFormat);
    }
    icu::UnicodeString text;
    formatter->format(static_cast<UDate>(date.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace bw::locale
