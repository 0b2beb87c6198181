#pragma once

#include "platform/codesign/Digest.h"
#include "platform/codesign/Problem.h"
#include "platform/macho/CodeSignature.h"
#include "platform/macho/MachOFile.h"

#include <optional>
#include <string>
#include <vector>

namespace bw::codesign {

// What the signature of a bundle's main executable binds besides the code itself.
struct BundleItems {
    std::optional<Bytes> infoPlist;     // absent when the bundle has none
    std::optional<Bytes> codeResources; // absent when the bundle has no seal
};

struct SliceCheck {
    Problems problems;
    std::vector<std::string> notes; // what could not be evaluated, for verbose output
    std::vector<Bytes> cdhashes;    // one per code directory, each of its own hash type
};

// Verifies one slice's embedded signature: the SuperBlob and every CodeDirectory, every code
// page, the special slots, and the CMS signature. `bundle` is set for a bundle's main
// executable; a lone file binds its embedded Info.plist section, if any. `architecture` names
// the slice in problems with the code itself.
SliceCheck checkSlice(const macho::Slice& slice, const std::string& path,
                      const std::string& architecture, const std::optional<BundleItems>& bundle);

// The cdhash of a code directory: its hash with its own hash type, cut to 20 bytes.
Bytes cdhash(const macho::CodeDirectory& directory);

// Code-directory flag bits that matter here.
inline constexpr std::uint32_t adhocFlag = 0x2;
inline constexpr std::uint32_t linkerSignedFlag = 0x20000;

} // namespace bw::codesign
