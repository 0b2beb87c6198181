#pragma once

#include <cstdint>
#include <optional>
#include <zip.h>

namespace bw::zip {

// The modification time of the extended-timestamp extra field ("UT", 0x5455) in the central
// directory, which unlike the DOS time is UTC with one-second precision.
std::optional<std::int64_t> extendedModificationTime(zip_t* archive, zip_uint64_t index);

} // namespace bw::zip
