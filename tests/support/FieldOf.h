#pragma once

#include <functional>
#include <type_traits>
#include <vector>

namespace bw::test {

// The `field` (a member or any function of an item) of every item, in order: what a test
// compares when the whole items would say too much.
template <typename Range, typename Field> auto fieldOf(const Range& items, Field field) {
    using Value = std::remove_cvref_t<std::invoke_result_t<Field, decltype(*std::begin(items))>>;
    std::vector<Value> values;
    for (const auto& item : items) {
        values.push_back(std::invoke(field, item));
    }
    return values;
}

} // namespace bw::test
