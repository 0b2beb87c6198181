#pragma once

#include <QHash>
#include <QHashFunctions>
#include <optional>
#include <vector>

namespace bw {

using ::qHash;

// Equal values hash alike: absent optionals and empty lists hash to fixed markers so that
// "absent" and "present but empty" stay apart.
template <typename T> size_t hashOptional(const std::optional<T>& value, size_t seed) {
    return value ? qHashMulti(seed, 1, *value) : qHash(0, seed);
}

template <typename T> size_t hashList(const std::vector<T>& values, size_t seed) {
    return qHashRange(values.begin(), values.end(), qHash(values.size(), seed));
}

template <typename T>
size_t hashOptionalList(const std::optional<std::vector<T>>& values, size_t seed) {
    return values ? hashList(*values, qHash(1, seed)) : qHash(0, seed);
}

} // namespace bw
