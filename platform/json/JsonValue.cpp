#include "platform/json/JsonValue.h"

#include "platform/json/JsonEscapes.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QVariant>

namespace bw::json {

double Value::number() const {
    return isInteger() ? double(integer()) : std::get<double>(data_);
}

QString Value::string() const {
    const std::optional<QByteArray> bytes = utf8();
    return bytes ? textFromUtf8(*bytes) : std::get<QString>(data_);
}

std::optional<QByteArray> Value::utf8() const {
    const Utf8* text = std::get_if<Utf8>(&data_);
    if (text == nullptr) {
        return std::nullopt;
    }
    const QByteArrayView bytes(text->data, text->size);
    return text->escaped ? decodeEscapes(bytes)
                         : QByteArray::fromRawData(bytes.data(), bytes.size());
}

const Member* Value::find(QStringView key) const {
    const Object& all = members();
    for (auto member = all.rbegin(); member != all.rend(); ++member) {
        if (member->key == key) {
            return &*member;
        }
    }
    return nullptr;
}

QJsonValue Value::toQJsonValue() const {
    if (isBool()) {
        return boolean();
    }
    if (isInteger()) {
        return integer();
    }
    if (isNumber()) {
        return number();
    }
    if (isString()) {
        return string();
    }
    if (isArray()) {
        QJsonArray array;
        for (const Value& element : elements()) {
            array.append(element.toQJsonValue());
        }
        return array;
    }
    if (isObject()) {
        QJsonObject object;
        for (const Member& member : members()) {
            object.insert(member.key, member.value.toQJsonValue());
        }
        return object;
    }
    return QJsonValue::Null;
}

namespace {

Value fromQJsonValue(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return Value(value.toBool());
    case QJsonValue::Double:
        if (value.toVariant().typeId() == QMetaType::LongLong) {
            return Value(value.toInteger());
        }
        return Value(value.toDouble());
    case QJsonValue::String:
        return Value(value.toString());
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        Value::Array elements;
        elements.reserve(std::size_t(array.size()));
        for (const QJsonValue& element : array) {
            elements.push_back(fromQJsonValue(element));
        }
        return Value(std::move(elements));
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        Value::Object members;
        members.reserve(std::size_t(object.size()));
        for (auto member = object.begin(); member != object.end(); ++member) {
            members.push_back({member.key(), fromQJsonValue(member.value())});
        }
        return Value(std::move(members));
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return {};
}

} // namespace

Document::Document(Value root, QByteArray source)
    : source_(std::move(source)), root_(std::move(root)) {}

Document Document::fromQJsonValue(const QJsonValue& value) {
    return Document(json::fromQJsonValue(value));
}

} // namespace bw::json
