#pragma once

// A thin, owning view over libplist for the few property lists this library reads
// (resource seals, Info.plist, entitlements). Kept private to the code-signing layer.

#include "platform/codesign/Digest.h"

#include <memory>
#include <optional>
#include <plist/plist.h>
#include <string>
#include <utility>
#include <vector>

namespace bw::codesign::plist {

struct Free {
    void operator()(plist_t node) const { plist_free(node); }
};
using Owned = std::unique_ptr<void, Free>;

// Parses XML or binary property-list bytes; null when they are not a property list.
Owned parse(std::span<const std::uint8_t> bytes);

plist_t item(plist_t dictionary, const char* key); // null unless a dictionary holding key
std::optional<std::string> string(plist_t node);
std::optional<bool> boolean(plist_t node);
std::optional<double> number(plist_t node); // real or integer
std::optional<Bytes> data(plist_t node);
bool isDictionary(plist_t node);

// Entries of a dictionary in stored order; empty when node is not a dictionary.
std::vector<std::pair<std::string, plist_t>> entries(plist_t dictionary);

} // namespace bw::codesign::plist
