#pragma once

#include <cstdint>
#include <string>

namespace bw::macho {

// The conventional name of a CPU type and subtype ("arm64", "x86_64h", "armv7s"); an unknown
// pair reads "unknown(TYPE,SUBTYPE)", one word, so that space-separated listings stay parseable.
// The capability bits of the subtype are ignored.
std::string architectureName(int32_t cpuType, int32_t cpuSubtype);

} // namespace bw::macho
