#pragma once

#include "platform/macho/ByteCursor.h"
#include "platform/macho/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bw::macho {

// The magic numbers of the code-signature blobs, always stored big-endian.
namespace blob_magic {
inline constexpr uint32_t requirement = 0xfade0c00;
inline constexpr uint32_t requirements = 0xfade0c01;
inline constexpr uint32_t codeDirectory = 0xfade0c02;
inline constexpr uint32_t embeddedSignature = 0xfade0cc0;
inline constexpr uint32_t detachedSignature = 0xfade0cc1;
inline constexpr uint32_t blobWrapper = 0xfade0b01; // CMS signature
inline constexpr uint32_t entitlements = 0xfade7171;
inline constexpr uint32_t entitlementsDer = 0xfade7172;
} // namespace blob_magic

// The slot types of a SuperBlob's index.
namespace slot_type {
inline constexpr uint32_t codeDirectory = 0;
inline constexpr uint32_t requirements = 2;
inline constexpr uint32_t entitlements = 5;
inline constexpr uint32_t entitlementsDer = 7;
inline constexpr uint32_t alternateCodeDirectoryFirst = 0x1000;
inline constexpr uint32_t alternateCodeDirectoryLast = 0x1004;
inline constexpr uint32_t signature = 0x10000;
} // namespace slot_type

// One entry of a SuperBlob's (or the requirements blob's) index: `offset` is from the start of
// the containing blob, `bytes` the whole sub-blob, header included.
struct BlobIndexEntry {
    uint32_t type = 0;
    uint32_t offset = 0;
    uint32_t magic = 0;
    Bytes bytes;
};

struct CodeDirectory {
    Bytes bytes; // the whole blob, as hashed for the directory's own hash
    uint32_t version = 0;
    uint32_t flags = 0;
    uint32_t hashOffset = 0;
    uint32_t identOffset = 0;
    uint32_t nSpecialSlots = 0;
    uint32_t nCodeSlots = 0;
    uint32_t codeLimit = 0;
    uint8_t hashSize = 0;
    uint8_t hashType = 0;
    uint8_t platform = 0;
    uint8_t pageSize = 0; // log2 of the page size; 0 for a single page
    uint32_t scatterOffset = 0;
    uint32_t teamOffset = 0;
    uint64_t codeLimit64 = 0;
    uint64_t execSegBase = 0;
    uint64_t execSegLimit = 0;
    uint64_t execSegFlags = 0;
    uint32_t runtime = 0;
    uint32_t preEncryptOffset = 0;
    std::string identifier;
    std::optional<std::string> teamIdentifier;

    // The effective code limit: codeLimit64 where the version has it and it is set.
    uint64_t effectiveCodeLimit() const;
    // Hash of code page `index` (< nCodeSlots), and of special slot `slot` (1 ... nSpecialSlots),
    // which sits `slot` hashes before the code hashes.
    Bytes codeSlotHash(uint32_t index) const;
    Bytes specialSlotHash(uint32_t slot) const;
};

struct CodeSignature {
    Bytes bytes; // the SuperBlob, from its header to its stated length
    std::vector<BlobIndexEntry> index;
    std::optional<CodeDirectory> codeDirectory;
    std::vector<CodeDirectory> alternateCodeDirectories;
    std::vector<BlobIndexEntry> requirements; // the entries of the requirements blob
    std::optional<Bytes> entitlementsXml;     // payloads, without their blob headers
    std::optional<Bytes> entitlementsDer;
    std::optional<Bytes> cms; // the wrapper's payload; empty for an ad-hoc signature
};

// Reads an embedded signature SuperBlob (the LC_CODE_SIGNATURE data). Every offset and length is
// checked against the blob that contains it; a blob at a known slot must carry that slot's magic.
Result<CodeSignature> parseCodeSignature(Bytes data);

Result<CodeDirectory> parseCodeDirectory(Bytes blob);

} // namespace bw::macho
