#include "services/appstoreconnect/JSONValue.h"

#include <QJsonArray>
#include <QJsonObject>

namespace bw {

std::optional<QString> JSONValue::string() const {
    if (const auto* text = std::get_if<QString>(&value)) {
        return *text;
    }
    return std::nullopt;
}

JSONValue JSONValue::decode(const QJsonValue& json) {
    switch (json.type()) {
    case QJsonValue::String:
        return {json.toString()};
    case QJsonValue::Double:
        return {json.toDouble()};
    case QJsonValue::Bool:
        return {json.toBool()};
    case QJsonValue::Object: {
        Object members;
        const QJsonObject object = json.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            members.emplace(it.key(), decode(it.value()));
        }
        return {std::move(members)};
    }
    case QJsonValue::Array: {
        Array elements;
        for (const QJsonValue& element : json.toArray()) {
            elements.push_back(decode(element));
        }
        return {std::move(elements)};
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return {};
}

} // namespace bw
