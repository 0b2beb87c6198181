#include "platform/json/JsonReader.h"

#include "platform/json/JsonValues.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QVariant>

namespace bw::json {

DecodeError::DecodeError(QString path, QString reason)
    : std::runtime_error(
          (path.isEmpty() ? reason : path + QStringLiteral(": ") + reason).toStdString()),
      path_(std::move(path)), reason_(std::move(reason)) {}

QString DecodeError::description() const {
    return QString::fromStdString(what());
}

QJsonValue parseDocument(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        throw DecodeError({}, QStringLiteral("The data is not valid JSON (%1 at offset %2).")
                                  .arg(error.errorString())
                                  .arg(error.offset));
    }
    if (document.isArray()) {
        return document.array();
    }
    return document.object();
}

JsonReader::JsonReader(QJsonValue value, QString path)
    : value_(std::move(value)), path_(std::move(path)) {}

void JsonReader::fail(const QString& reason) const {
    throw DecodeError(path_, reason);
}

QString JsonReader::typeName(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

QJsonObject JsonReader::object() const {
    if (!value_.isObject()) {
        fail(QStringLiteral("expected an object, found %1").arg(typeName(value_)));
    }
    return value_.toObject();
}

static QString memberPath(const QString& base, QStringView key) {
    return base.isEmpty() ? key.toString() : base + u'.' + key.toString();
}

JsonReader JsonReader::member(QStringView key) const {
    const QJsonObject members = object();
    const auto found = members.constFind(key);
    const QString path = memberPath(path_, key);
    if (found == members.constEnd()) {
        throw DecodeError(path, QStringLiteral("the required key is missing"));
    }
    if (found->isNull()) {
        throw DecodeError(path, QStringLiteral("expected a value, found null"));
    }
    return JsonReader(*found, path);
}

std::optional<JsonReader> JsonReader::optionalMember(QStringView key) const {
    const QJsonObject members = object();
    const auto found = members.constFind(key);
    if (found == members.constEnd() || found->isNull()) {
        return std::nullopt;
    }
    return JsonReader(*found, memberPath(path_, key));
}

QString JsonReader::string() const {
    if (!value_.isString()) {
        fail(QStringLiteral("expected a string, found %1").arg(typeName(value_)));
    }
    return value_.toString();
}

double JsonReader::number() const {
    if (!value_.isDouble()) {
        fail(QStringLiteral("expected a number, found %1").arg(typeName(value_)));
    }
    return value_.toDouble();
}

qint64 JsonReader::integer() const {
    if (!value_.isDouble()) {
        fail(QStringLiteral("expected an integer, found %1").arg(typeName(value_)));
    }
    // toInteger falls back to its default for fractions and out-of-range values; two different
    // defaults tell a real value from the fallback.
    const qint64 first = value_.toInteger(0);
    if (first == 0 && value_.toInteger(1) != 0) {
        fail(QStringLiteral("expected an integer, found %1").arg(value_.toDouble()));
    }
    return first;
}

bool JsonReader::boolean() const {
    if (!value_.isBool()) {
        fail(QStringLiteral("expected a boolean, found %1").arg(typeName(value_)));
    }
    return value_.toBool();
}

QDateTime JsonReader::date() const {
    const QString text = string();
    const std::optional<QDateTime> date = parseDate(text);
    if (!date) {
        fail(QStringLiteral("expected an ISO 8601 date, found \"%1\"").arg(text));
    }
    return *date;
}

QByteArray JsonReader::data() const {
    const QString text = string();
    const auto decoded =
        QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const bool strictlyBase64 = decoded && decoded.decoded.toBase64() == text.toLatin1();
    if (!strictlyBase64) {
        fail(QStringLiteral("expected base64 data"));
    }
    return decoded.decoded;
}

QUuid JsonReader::uuid() const {
    const QString text = string();
    const std::optional<QUuid> id = parseUuid(text);
    if (!id) {
        fail(QStringLiteral("expected a UUID, found \"%1\"").arg(text));
    }
    return *id;
}

std::vector<JsonReader> JsonReader::elements() const {
    if (!value_.isArray()) {
        fail(QStringLiteral("expected an array, found %1").arg(typeName(value_)));
    }
    const QJsonArray array = value_.toArray();
    std::vector<JsonReader> result;
    result.reserve(static_cast<std::size_t>(array.size()));
    for (qsizetype i = 0; i < array.size(); ++i) {
        result.emplace_back(array.at(i), path_ + u'[' + QString::number(i) + u']');
    }
    return result;
}

std::vector<QString> JsonReader::strings() const {
    return array<QString>([](const JsonReader& element) { return element.string(); });
}

std::optional<QString> optionalStringAt(const JsonReader& r, QStringView key) {
    const auto member = r.optionalMember(key);
    return member ? std::optional(member->string()) : std::nullopt;
}

std::optional<qint64> optionalIntegerAt(const JsonReader& r, QStringView key) {
    const auto member = r.optionalMember(key);
    return member ? std::optional(member->integer()) : std::nullopt;
}

std::optional<QByteArray> optionalDataAt(const JsonReader& r, QStringView key) {
    const auto member = r.optionalMember(key);
    return member ? std::optional(member->data()) : std::nullopt;
}

} // namespace bw::json
