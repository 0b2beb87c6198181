#pragma once

#include "platform/json/JsonValue.h"

#include <QByteArray>
#include <QStringView>
#include <cstddef>
#include <functional>

namespace bw::json {

// Parses a whole JSON document (an object or an array, after an optional UTF-8 byte order mark);
// throws DecodeError when it is not one. Reads as QJsonDocument always has here: an unknown
// escape stands for its character, control characters may stand in strings, a number may start
// or end with its decimal point, and a key given twice keeps its last value.
Document parseDocument(const QByteArray& bytes);

// Takes the elements of a run of consecutive elements of an array, each as soon as it is parsed,
// in order, on the one thread that parses the run.
using TakeElement = std::function<void(Value element)>;
// The taker of run `run` (0, 1, … in the order of the array) of the `array`th array taken from a
// document. Arrays are counted from 0 in the order they are taken, and the last one counts: a key
// given twice takes a second, and so does an array parsed again in one go when its parts did not
// hold. A long array is parsed in several runs at once, so this is called from several threads
// at once.
using ElementRuns = std::function<TakeElement(std::size_t array, std::size_t run)>;

// Parses as the above, except for the elements of the array at the top of the document, or of
// the array under `key` in the object at its top (the reports of a history, say): `runs` takes
// them as they are parsed, so that each can be read while its bytes are at hand and none is
// kept, and the document holds that array empty. A long array whose parts do not hold is parsed
// again in one go, as a new array taken.
Document parseDocument(const QByteArray& bytes, QStringView key, const ElementRuns& runs);

} // namespace bw::json
