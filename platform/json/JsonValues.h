#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>
#include <vector>

namespace bw::json {

// The one date form of every JSON document the system writes and reads: ISO 8601 internet
// date-time in UTC with whole seconds, "2026-08-01T09:30:00Z".
QString formatDate(const QDateTime& date);
std::optional<QDateTime> parseDate(QStringView text);

// Canonical UUID text: upper case, 8-4-4-4-12, no braces.
QString formatUuid(const QUuid& id);
std::optional<QUuid> parseUuid(QStringView text);

// Bytes from base64 text in the one form our writer gives: the standard alphabet, padded with
// "=", no white space, unused bits zero. Absent for anything else.
std::optional<QByteArray> decodeBase64(QStringView text);
std::optional<QByteArray> decodeBase64(QByteArrayView text);

QJsonArray stringArray(const std::vector<QString>& texts);

// A JSON array of the values, each encoded by `encode` (for example a `toJson` overload).
template <typename T, typename Encode>
QJsonArray arrayOf(const std::vector<T>& values, Encode encode) {
    QJsonArray array;
    for (const T& value : values) {
        array.append(encode(value));
    }
    return array;
}

QJsonValue dateValue(const QDateTime& date);
QJsonValue dataValue(const QByteArray& bytes);
QJsonValue uuidValue(const QUuid& id);

} // namespace bw::json
