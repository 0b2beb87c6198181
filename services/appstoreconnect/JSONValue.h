#pragma once

#include <QJsonValue>
#include <QString>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace bw {

// Any JSON value, as the App Store Connect API sends it in resource attributes.
struct JSONValue {
    using Object = std::map<QString, JSONValue>;
    using Array = std::vector<JSONValue>;
    enum class Kind { string, number, boolean, object, array, null };

    std::variant<QString, double, bool, Object, Array, std::monostate> value{std::monostate{}};

    Kind kind() const { return static_cast<Kind>(value.index()); }
    // The text of a string value; nothing for every other kind.
    std::optional<QString> string() const;

    // Numbers stay numbers and true/false stay booleans; nothing ever fails.
    static JSONValue decode(const QJsonValue& json);

    bool operator==(const JSONValue&) const = default;
};

} // namespace bw
