#pragma once

#include <cstddef>
#include <cstdint>

namespace bw::fuzz {

// Stops the run on a broken property, so that libFuzzer keeps the input that broke it.
inline void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace bw::fuzz
