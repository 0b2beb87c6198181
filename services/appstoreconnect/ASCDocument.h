#pragma once

#include "services/appstoreconnect/JSONValue.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace bw {

// One resource object of a JSON:API document.
struct ASCResource {
    QString id;
    QString type;
    std::optional<std::map<QString, JSONValue>> attributes;

    // The attribute's text when it is a string; nothing when absent or of another type.
    std::optional<QString> stringAttribute(const QString& key) const;

    bool operator==(const ASCResource&) const = default;
};

// One element of a JSON:API document's "errors" list.
struct ASCAPIError {
    std::optional<QString> detail;

    bool operator==(const ASCAPIError&) const = default;
};

// A JSON:API top-level document, read leniently: `data` is always there (a single resource
// becomes a one-element list; anything unreadable an empty one), and an unreadable `included`
// or `errors` list is left out.
struct ASCDocument {
    std::vector<ASCResource> data;
    std::optional<std::vector<ASCResource>> included;
    std::optional<std::vector<ASCAPIError>> errors;

    // Throws json::DecodeError when the body is not JSON or its top level is not an object.
    static ASCDocument decode(const QByteArray& body);

    bool operator==(const ASCDocument&) const = default;
};

} // namespace bw
