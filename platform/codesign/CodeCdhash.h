#pragma once

#include "platform/codesign/Digest.h"

#include <filesystem>

namespace bw::codesign {

// The cdhash a parent's seal records for nested code (a bundle or a Mach-O file): that of the
// first slice's primary code directory. Empty when the code is unreadable or unsigned.
Bytes primaryCdhash(const std::filesystem::path& code);

} // namespace bw::codesign
