#include "model/RawValue.h"

namespace bw {

std::optional<std::size_t> rawValueIndex(std::span<const QStringView> table, QStringView text) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == text) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace bw
