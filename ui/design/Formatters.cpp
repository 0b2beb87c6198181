#include "ui/design/Formatters.h"

#include <QLocale>
#include <array>

namespace bw::design {

namespace {

struct Unit {
    const char* name;
    int fractionDigits;
};

// Decimal units from a thousand bytes up, as the file style shows them.
constexpr std::array units{Unit{"KB", 0}, Unit{"MB", 1}, Unit{"GB", 2},
                           Unit{"TB", 2}, Unit{"PB", 2}, Unit{"EB", 2}};

constexpr std::uint64_t powerOfTen(int exponent) {
    std::uint64_t value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

// bytes / 10^exponent rounded to nearest, halves up, without overflowing near the 64-bit limit.
std::uint64_t roundedQuotient(std::uint64_t bytes, int exponent) {
    const std::uint64_t divisor = powerOfTen(exponent);
    const std::uint64_t quotient = bytes / divisor;
    const std::uint64_t remainder = bytes % divisor;
    return remainder >= divisor - remainder ? quotient + 1 : quotient;
}

QString decimal(std::uint64_t scaled, int fractionDigits) {
    const QLocale locale;
    const std::uint64_t one = powerOfTen(fractionDigits);
    QString text = locale.toString(static_cast<qulonglong>(scaled / one));
    QString fraction = QString::number(scaled % one).rightJustified(fractionDigits, u'0');
    while (fraction.endsWith(u'0')) {
        fraction.chop(1);
    }
    if (!fraction.isEmpty()) {
        text += locale.decimalPoint() + fraction;
    }
    return text;
}

} // namespace

QString fileByteCount(std::uint64_t bytes) {
    if (bytes == 0) {
        return QStringLiteral("Zero KB");
    }
    if (bytes == 1) {
        return QStringLiteral("1 byte");
    }
    if (bytes < 1000) {
        return QStringLiteral("%1 bytes").arg(bytes);
    }
    // The first unit whose rounded value stays below a thousand: 999,999 bytes read "1 MB".
    for (std::size_t index = 0; index < units.size(); ++index) {
        const Unit& unit = units[index];
        const int exponent = 3 * int(index + 1) - unit.fractionDigits;
        const std::uint64_t scaled = roundedQuotient(bytes, exponent);
        if (scaled < 1000 * powerOfTen(unit.fractionDigits) || index + 1 == units.size()) {
            return decimal(scaled, unit.fractionDigits) + u' ' + QLatin1String(unit.name);
        }
    }
    Q_UNREACHABLE();
}

} // namespace bw::design
