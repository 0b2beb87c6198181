#pragma once

#include "platform/codesign/Digest.h"

#include <optional>
#include <span>

namespace bw::codesign {

// The entitlements of a DER entitlements blob's payload as an XML property list, the form
// `codesign -d --entitlements :-` prints: an application-tagged sequence of version 1 and a
// dictionary; dictionaries are context-tagged sets of key/value sequences, arrays sequences,
// and booleans, integers and UTF-8 strings their ASN.1 types. Absent when the bytes are not
// of that form.
std::optional<Bytes> entitlementsXmlFromDer(std::span<const std::uint8_t> der);

} // namespace bw::codesign
