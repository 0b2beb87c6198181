#include "platform/locale/NumberFormatting.h"

#include <QLocale>
#include <memory>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/unistr.h>

namespace bw::locale {

QString wholePercent(double fraction) {
    // One formatter per locale: a rolling percentage is written on every frame.
    static thread_local QString formatterLocale;
    static thread_local std::unique_ptr<icu::NumberFormat> formatter;
    const QString name = QLocale().name();
    if (name != formatterLocale || !formatter) {
        UErrorCode status = U_ZERO_ERROR;
        formatter.reset(icu::NumberFormat::createPercentInstance(
            icu::Locale(name.toUtf8().constData()), status));
        if (U_FAILURE(status)) {
            formatter.reset();
        } else {
            formatter->setMaximumFractionDigits(0);
        }
        formatterLocale = name;
    }
    if (!formatter) {
        return QLocale().toString(qRound(fraction * 100)) + QLocale().percent();
    }
    icu::UnicodeString text;
    formatter->format(fraction, text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace bw::locale
