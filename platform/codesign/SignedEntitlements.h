#pragma once

#include "platform/codesign/Digest.h"

#include <filesystem>
#include <optional>
#include <string>

namespace bw::codesign {

struct SignedEntitlements {
    std::filesystem::path executable; // the main executable of a bundle, or the file itself
    std::optional<Bytes> xml; // the XML entitlements exactly as signed (from the DER form when
                              // signed with that alone); absent if none
    std::string error;        // set when the code could not be read or is unsigned
};

// The entitlements of the main executable of `path` (a bundle or a Mach-O file). From a
// universal file, the slice for this machine's architecture when present, else the first.
SignedEntitlements readSignedEntitlements(const std::filesystem::path& path);

} // namespace bw::codesign
