#include "platform/json/JsonReader.h"

#include "platform/json/JsonValues.h"

#include <cmath>

namespace bw::json {

DecodeError::DecodeError(QString path, QString reason)
    : std::runtime_error(
          (path.isEmpty() ? reason : path + QStringLiteral(": ") + reason).toStdString()),
      path_(std::move(path)), reason_(std::move(reason)) {}

QString DecodeError::description() const {
    return QString::fromStdString(what());
}

JsonReader::JsonReader(Document document, QString path)
    : document_(std::make_shared<const Document>(std::move(document))), value_(&document_->root()),
      base_(std::move(path)) {}

JsonReader::JsonReader(const QJsonValue& value, QString path)
    : JsonReader(Document::fromQJsonValue(value), std::move(path)) {}

JsonReader JsonReader::child(const Value& value, Step step) const {
    JsonReader child(*this);
    child.value_ = &value;
    if (child.depth_ == heldSteps) {
        child.base_ = path();
        child.depth_ = 0;
    }
    child.steps_[child.depth_++] = step;
    return child;
}

QString JsonReader::path() const {
    QString path = base_;
    for (std::size_t i = 0; i < depth_; ++i) {
        const Step& step = steps_[i];
        if (step.index >= 0) {
            path += u'[' + QString::number(step.index) + u']';
        } else {
            path += path.isEmpty() ? step.key.toString() : u'.' + step.key.toString();
        }
    }
    return path;
}

void JsonReader::fail(const QString& reason) const {
    throw DecodeError(path(), reason);
}

QString JsonReader::typeName(const Value& value) {
    if (value.isBool()) {
        return QStringLiteral("a boolean");
    }
    if (value.isNumber()) {
        return QStringLiteral("a number");
    }
    if (value.isString()) {
        return QStringLiteral("a string");
    }
    if (value.isArray()) {
        return QStringLiteral("an array");
    }
    if (value.isObject()) {
        return QStringLiteral("an object");
    }
    return QStringLiteral("null");
}

const Value& JsonReader::object() const {
    if (!value_->isObject()) {
        fail(QStringLiteral("expected an object, found %1").arg(typeName(*value_)));
    }
    return *value_;
}

JsonReader JsonReader::member(QStringView key) const {
    const Member* found = object().find(key);
    if (found == nullptr || found->value.isNull()) {
        child(*value_, {key, -1})
            .fail(found == nullptr ? QStringLiteral("the required key is missing")
                                   : QStringLiteral("expected a value, found null"));
    }
    return child(found->value, {found->key, -1});
}

std::optional<JsonReader> JsonReader::optionalMember(QStringView key) const {
    const Member* found = object().find(key);
    if (found == nullptr || found->value.isNull()) {
        return std::nullopt;
    }
    return child(found->value, {found->key, -1});
}

QString JsonReader::string() const {
    if (!value_->isString()) {
        fail(QStringLiteral("expected a string, found %1").arg(typeName(*value_)));
    }
    return value_->string();
}

double JsonReader::number() const {
    if (!value_->isNumber()) {
        fail(QStringLiteral("expected a number, found %1").arg(typeName(*value_)));
    }
    return value_->number();
}

qint64 JsonReader::integer() const {
    if (!value_->isNumber()) {
        fail(QStringLiteral("expected an integer, found %1").arg(typeName(*value_)));
    }
    if (value_->isInteger()) {
        return value_->integer();
    }
    const double number = value_->number();
    constexpr double limit = 9223372036854775808.0;
    if (std::trunc(number) != number || number < -limit || number >= limit) {
        fail(QStringLiteral("expected an integer, found %1").arg(number));
    }
    return qint64(number);
}

bool JsonReader::boolean() const {
    if (!value_->isBool()) {
        fail(QStringLiteral("expected a boolean, found %1").arg(typeName(*value_)));
    }
    return value_->boolean();
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
    const std::optional<QByteArray> bytes = value_->utf8();
    std::optional<QByteArray> decoded = bytes ? decodeBase64(*bytes) : decodeBase64(string());
    if (!decoded) {
        fail(QStringLiteral("expected base64 data"));
    }
    return std::move(*decoded);
}

QUuid JsonReader::uuid() const {
    const QString text = string();
    const std::optional<QUuid> id = parseUuid(text);
    if (!id) {
        fail(QStringLiteral("expected a UUID, found \"%1\"").arg(text));
    }
    return *id;
}

const Value::Array& JsonReader::arrayValue() const {
    if (!value_->isArray()) {
        fail(QStringLiteral("expected an array, found %1").arg(typeName(*value_)));
    }
    return value_->elements();
}

JsonReader JsonReader::element(std::size_t index) const {
    return child(value_->elements()[index], {{}, qsizetype(index)});
}

std::vector<JsonReader> JsonReader::elements() const {
    return array<JsonReader>([](const JsonReader& element) { return element; });
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
