#include "platform/json/JsonValues.h"

#include <QRegularExpression>
#include <QTimeZone>

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
