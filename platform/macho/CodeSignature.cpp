#include "platform/macho/CodeSignature.h"

#include <algorithm>

namespace bw::macho {
namespace {

constexpr uint32_t blobHeaderSize = 8;
constexpr uint32_t superBlobHeaderSize = 12;
constexpr uint32_t indexEntrySize = 8;

std::string hex(uint32_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text.push_back(digits[(value >> shift) & 0xf]);
    }
    return text;
}

// Reads a SuperBlob-shaped container (magic, length, count, index): the embedded signature and
// the requirements blob share this layout.
Result<std::vector<BlobIndexEntry>> readIndex(Bytes container, const char* what) {
    ByteCursor cursor(container, ByteOrder::big, 4);
    cursor.skip(4);
    const uint32_t count = cursor.u32();
    if (!cursor.ok() ||
        !fits(container.size(), superBlobHeaderSize, uint64_t{count} * indexEntrySize)) {
        return truncated(std::string(what) + " index extends past the end of the blob");
    }
    std::vector<BlobIndexEntry> entries;
    entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        BlobIndexEntry entry;
        entry.type = cursor.u32();
        entry.offset = cursor.u32();
        if (!fits(container.size(), entry.offset, blobHeaderSize)) {
            return truncated(std::string(what) + " blob " + std::to_string(i) +
                             " lies outside the blob");
        }
        ByteCursor blob(container, ByteOrder::big, entry.offset);
        entry.magic = blob.u32();
        const uint32_t length = blob.u32();
        if (length < blobHeaderSize || !fits(container.size(), entry.offset, length)) {
            return truncated(std::string(what) + " blob " + std::to_string(i) + " (length " +
                             std::to_string(length) + ") extends past the end of the blob");
        }
        entry.bytes = container.subspan(entry.offset, length);
        entries.push_back(entry);
    }
    return entries;
}

// Checks the outer header of a SuperBlob-shaped blob and returns it cut to its stated length.
Result<Bytes> containerBytes(Bytes data, uint32_t magic, const char* what) {
    ByteCursor cursor(data, ByteOrder::big);
    const uint32_t actualMagic = cursor.u32();
    const uint32_t length = cursor.u32();
    if (!cursor.ok()) {
        return truncated(std::string(what) + " header extends past the end of the data");
    }
    if (actualMagic != magic) {
        return malformed(std::string(what) + " has magic " + hex(actualMagic));
    }
    if (length < superBlobHeaderSize || length > data.size()) {
        return truncated(std::string(what) + " length " + std::to_string(length) +
                         " does not fit the data");
    }
    return data.first(length);
}

std::optional<uint32_t> expectedMagic(uint32_t type) {
    if (type >= slot_type::alternateCodeDirectoryFirst &&
        type <= slot_type::alternateCodeDirectoryLast) {
        return blob_magic::codeDirectory;
    }
    switch (type) {
    case slot_type::codeDirectory:
        return blob_magic::codeDirectory;
    case slot_type::requirements:
        return blob_magic::requirements;
    case slot_type::entitlements:
        return blob_magic::entitlements;
    case slot_type::entitlementsDer:
        return blob_magic::entitlementsDer;
    case slot_type::signature:
        return blob_magic::blobWrapper;
    default:
        return std::nullopt;
    }
}

Result<std::vector<BlobIndexEntry>> readRequirements(Bytes blob) {
    BW_TRY(bytes, containerBytes(blob, blob_magic::requirements, "requirements blob"));
    BW_TRY(entries, readIndex(*bytes, "requirements blob"));
    for (const BlobIndexEntry& entry : *entries) {
        if (entry.magic != blob_magic::requirement) {
            return malformed("requirement has magic " + hex(entry.magic));
        }
    }
    return entries;
}

std::optional<MachOError> readSlot(CodeSignature& signature, const BlobIndexEntry& entry) {
    const Bytes payload = entry.bytes.subspan(blobHeaderSize);
    if (entry.type == slot_type::codeDirectory ||
        (entry.type >= slot_type::alternateCodeDirectoryFirst &&
         entry.type <= slot_type::alternateCodeDirectoryLast)) {
        BW_TRY(directory, parseCodeDirectory(entry.bytes));
        if (entry.type == slot_type::codeDirectory) {
            signature.codeDirectory = std::move(directory).value();
        } else {
            signature.alternateCodeDirectories.push_back(std::move(directory).value());
        }
        return std::nullopt;
    }
    switch (entry.type) {
    case slot_type::requirements: {
        BW_TRY(requirements, readRequirements(entry.bytes));
        signature.requirements = std::move(requirements).value();
        break;
    }
    case slot_type::entitlements:
        signature.entitlementsXml = payload;
        break;
    case slot_type::entitlementsDer:
        signature.entitlementsDer = payload;
        break;
    case slot_type::signature:
        signature.cms = payload;
        break;
    default:
        break;
    }
    return std::nullopt;
}

// Sorting keeps this linear-logarithmic: the index may be as long as the data allows.
std::optional<uint32_t> repeatedType(const std::vector<BlobIndexEntry>& index) {
    std::vector<uint32_t> types;
    types.reserve(index.size());
    for (const BlobIndexEntry& entry : index) {
        types.push_back(entry.type);
    }
    std::ranges::sort(types);
    const auto repeated = std::ranges::adjacent_find(types);
    if (repeated == types.end()) {
        return std::nullopt;
    }
    return *repeated;
}

} // namespace

Result<CodeSignature> parseCodeSignature(Bytes data) {
    BW_TRY(bytes, containerBytes(data, blob_magic::embeddedSignature, "code signature"));
    BW_TRY(index, readIndex(*bytes, "code signature"));
    CodeSignature signature;
    signature.bytes = *bytes;
    signature.index = std::move(index).value();
    if (std::optional<uint32_t> type = repeatedType(signature.index)) {
        return malformed("code signature has two blobs of type " + hex(*type));
    }
    for (const BlobIndexEntry& entry : signature.index) {
        const std::optional<uint32_t> magic = expectedMagic(entry.type);
        if (magic && *magic != entry.magic) {
            return malformed("code signature blob of type " + hex(entry.type) + " has magic " +
                             hex(entry.magic));
        }
        if (std::optional<MachOError> error = readSlot(signature, entry)) {
            return *error;
        }
    }
    return signature;
}

} // namespace bw::macho
