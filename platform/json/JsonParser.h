#pragma once

#include "platform/json/JsonValue.h"

#include <QByteArray>

namespace bw::json {

// Parses a whole JSON document (an object or an array, after an optional UTF-8 byte order mark);
// throws DecodeError when it is not one. Reads as QJsonDocument always has here: an unknown
// escape stands for its character, control characters may stand in strings, a number may start
// or end with its decimal point, and a key given twice keeps its last value.
Document parseDocument(const QByteArray& bytes);

} // namespace bw::json
