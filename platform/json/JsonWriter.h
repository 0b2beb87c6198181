#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <stdexcept>

namespace bw::json {

// A value that JSON cannot hold (a number that is not finite).
class EncodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Layout { compact, pretty };

// Serialises a JSON value with the keys of every object sorted and "/" escaped as "\/".
// Pretty output indents by two spaces, one member or element per line, `"key" : value`.
// Integers stay integers; other numbers use the shortest text that reads back exactly.
// Throws EncodeError for NaN or infinite numbers.
QByteArray write(const QJsonValue& value, Layout layout);

} // namespace bw::json
