#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace bw::json {

// The one date form of every JSON document the system writes and reads: ISO 8601 internet
// date-time in UTC with whole seconds, "2026-08-01T09:30:00Z".
QString formatDate(const QDateTime& date);
std::optional<QDateTime> parseDate(QStringView text);

// Canonical UUID text: upper case, 8-4-4-4-12, no braces.
QString formatUuid(const QUuid& id);
std::optional<QUuid> parseUuid(QStringView text);

QJsonValue dateValue(const QDateTime& date);
QJsonValue dataValue(const QByteArray& bytes);
QJsonValue uuidValue(const QUuid& id);

} // namespace bw::json
