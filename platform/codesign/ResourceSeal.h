#pragma once

#include "platform/codesign/Digest.h"
#include "platform/codesign/ResourceRules.h"
#include "platform/codesign/SealError.h"

#include <map>
#include <optional>
#include <string>

namespace bw::codesign {

// One sealed item of `files2`: a file with its hashes, a symbolic link with its target, or
// nested code with its cdhash and designated requirement.
struct SealedItem {
    Bytes sha1;   // "hash", empty when absent
    Bytes sha256; // "hash2", empty when absent
    std::optional<std::string> symlink;
    Bytes cdhash;
    std::optional<std::string> requirement;
    bool optional = false;

    bool operator==(const SealedItem&) const = default;
};

// A bundle's resource seal (_CodeSignature/CodeResources), version 2 form.
struct ResourceSeal {
    std::vector<ResourceRule> rules;         // rules2
    std::map<std::string, SealedItem> items; // files2, by path relative to the resource base
};

inline constexpr const char* obsoleteEnvelope =
    "resource envelope is obsolete (version 1 signature)";

// Reads the seal: `malformed` with the reason when the bytes are not a property list of the
// expected shape, `obsoleteEnvelope` when the seal has only the version 1 form.
SealResult<ResourceSeal> parseResourceSeal(std::span<const std::uint8_t> bytes);

} // namespace bw::codesign
