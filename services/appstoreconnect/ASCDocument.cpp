#include "services/appstoreconnect/ASCDocument.h"

#include "platform/json/JsonReader.h"

#include <QJsonArray>
#include <QJsonObject>

namespace bw {
namespace {

std::optional<ASCResource> decodeResource(const QJsonValue& json) {
    const QJsonObject object = json.toObject();
    const QJsonValue id = object.value(u"id");
    const QJsonValue type = object.value(u"type");
    const QJsonValue attributes = object.value(u"attributes");
    if (!json.isObject() || !id.isString() || !type.isString()) {
        return std::nullopt;
    }
    ASCResource resource{id.toString(), type.toString(), std::nullopt};
    if (attributes.isObject()) {
        resource.attributes = std::get<JSONValue::Object>(JSONValue::decode(attributes).value);
    } else if (!attributes.isUndefined() && !attributes.isNull()) {
        return std::nullopt;
    }
    return resource;
}

// Every element must be a valid resource, or the whole list is unreadable.
std::optional<std::vector<ASCResource>> decodeResourceList(const QJsonValue& json) {
    if (!json.isArray()) {
        return std::nullopt;
    }
    std::vector<ASCResource> resources;
    for (const QJsonValue& element : json.toArray()) {
        std::optional<ASCResource> resource = decodeResource(element);
        if (!resource) {
            return std::nullopt;
        }
        resources.push_back(std::move(*resource));
    }
    return resources;
}

std::optional<std::vector<ASCAPIError>> decodeErrorList(const QJsonValue& json) {
    if (!json.isArray()) {
        return std::nullopt;
    }
    std::vector<ASCAPIError> errors;
    for (const QJsonValue& element : json.toArray()) {
        const QJsonValue detail = element.toObject().value(u"detail");
        if (!element.isObject() ||
            !(detail.isString() || detail.isNull() || detail.isUndefined())) {
            return std::nullopt;
        }
        errors.push_back({detail.isString() ? std::optional(detail.toString()) : std::nullopt});
    }
    return errors;
}

} // namespace

std::optional<QString> ASCResource::stringAttribute(const QString& key) const {
    if (!attributes) {
        return std::nullopt;
    }
    const auto found = attributes->find(key);
    return found == attributes->end() ? std::nullopt : found->second.string();
}

ASCDocument ASCDocument::decode(const QByteArray& body) {
    const json::JsonReader top(json::parseDocument(body));
    if (!top.value().isObject()) {
        top.fail(QStringLiteral("expected an object, found an array"));
    }
    const QJsonObject object = top.value().toObject();
    ASCDocument document;
    const QJsonValue data = object.value(u"data");
    if (std::optional<std::vector<ASCResource>> list = decodeResourceList(data)) {
        document.data = std::move(*list);
    } else if (std::optional<ASCResource> single = decodeResource(data)) {
        document.data = {std::move(*single)};
    }
    document.included = decodeResourceList(object.value(u"included"));
    document.errors = decodeErrorList(object.value(u"errors"));
    return document;
}

} // namespace bw
