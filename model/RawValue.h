#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <optional>
#include <span>

namespace bw {

// Each enumeration specialises this with `rawValues`, its texts in case order.
template <typename E> struct RawValueTable;

// The one lookup behind every enumeration: the index of the first raw value that equals the
// text exactly (case-sensitive, no trimming), or none.
std::optional<std::size_t> rawValueIndex(std::span<const QStringView> table, QStringView text);

template <typename E> QString rawValue(E value) {
    return RawValueTable<E>::rawValues[static_cast<std::size_t>(value)].toString();
}

template <typename E> std::optional<E> fromRawValue(QStringView text) {
    const auto index = rawValueIndex(RawValueTable<E>::rawValues, text);
    return index ? std::optional(static_cast<E>(*index)) : std::nullopt;
}

// Every case in declaration order.
template <typename E> constexpr auto allCases() {
    constexpr std::size_t count = RawValueTable<E>::rawValues.size();
    std::array<E, count> cases{};
    for (std::size_t i = 0; i < count; ++i) {
        cases[i] = static_cast<E>(i);
    }
    return cases;
}

} // namespace bw
