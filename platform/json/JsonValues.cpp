#include "platform/json/JsonValues.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <array>

namespace bw::json {

QString formatDate(const QDateTime& date) {
    return date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + u'Z';
}

std::optional<QDateTime> parseDate(QStringView text) {
    // Internet date-time without a fraction of a second: "Z" or a numeric offset.
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:Z|([+-])(\d{2}):?(\d{2}))$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate day(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!day.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    int offsetSeconds = 0;
    if (match.hasCaptured(7)) {
        if (number(8) > 23 || number(9) > 59) {
            return std::nullopt;
        }
        offsetSeconds =
            (number(8) * 3600 + number(9) * 60) * (match.capturedView(7) == u"-" ? -1 : 1);
    }
    QDateTime local(day, time, QTimeZone(offsetSeconds));
    return local.toUTC();
}

QString formatUuid(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parseUuid(QStringView text) {
    static const QRegularExpression pattern(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    return QUuid::fromString(text);
}

namespace {

// The 6-bit value of each base64 digit, -1 for other characters.
constexpr std::array<qint8, 256> base64Digits = [] {
    std::array<qint8, 256> digits{};
    digits.fill(-1);
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) {
        digits[std::size_t(alphabet[i])] = qint8(i);
    }
    return digits;
}();

} // namespace

namespace {

template <typename Char> unsigned code(Char c) {
    if constexpr (std::is_same_v<Char, char>) {
        return static_cast<unsigned char>(c);
    } else {
        return c.unicode();
    }
}

template <typename Char> std::optional<QByteArray> decodeBase64(const Char* in, qsizetype size) {
    if (size % 4 != 0) {
        return std::nullopt;
    }
    const auto isPad = [&](qsizetype i) { return i >= 0 && code(in[i]) == '='; };
    const qsizetype padding = isPad(size - 1) ? (isPad(size - 2) ? 2 : 1) : 0;
    QByteArray bytes(size / 4 * 3 - padding, Qt::Uninitialized);
    char* out = bytes.data();
    const Char* whole = in + (size - (padding > 0 ? 4 : 0));
    const auto digit = [](Char c) { return code(c) < 256 ? base64Digits[code(c)] : -1; };
    for (; in != whole; in += 4) {
        const int a = digit(in[0]), b = digit(in[1]), c = digit(in[2]), d = digit(in[3]);
        if ((a | b | c | d) < 0) {
            return std::nullopt;
        }
        const quint32 bits = quint32(a) << 18 | quint32(b) << 12 | quint32(c) << 6 | quint32(d);
        *out++ = char(bits >> 16);
        *out++ = char(bits >> 8);
        *out++ = char(bits);
    }
    if (padding == 0) {
        return bytes;
    }
    // The padded last group must leave its unused low bits zero.
    const int a = digit(in[0]), b = digit(in[1]);
    const int c = padding == 1 ? digit(in[2]) : 0;
    if ((a | b | c) < 0 || (padding == 2 ? (b & 0xF) : (c & 0x3)) != 0) {
        return std::nullopt;
    }
    *out++ = char(a << 2 | b >> 4);
    if (padding == 1) {
        *out++ = char(b << 4 | c >> 2);
    }
    return bytes;
}

} // namespace

std::optional<QByteArray> decodeBase64(QStringView text) {
    return decodeBase64(text.data(), text.size());
}

std::optional<QByteArray> decodeBase64(QByteArrayView text) {
    return decodeBase64(text.data(), text.size());
}

QJsonArray stringArray(const std::vector<QString>& texts) {
    QJsonArray array;
    for (const QString& text : texts) {
        array.append(text);
    }
    return array;
}

QJsonValue dateValue(const QDateTime& date) {
    return formatDate(date);
}
QJsonValue dataValue(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}
QJsonValue uuidValue(const QUuid& id) {
    return formatUuid(id);
}

} // namespace bw::json
