#include "platform/macho/CodeSignature.h"

namespace bw::macho {
namespace {

// Versions at which the directory grew fields, with the size of the fixed part from then on.
constexpr uint32_t earliestVersion = 0x20001;
constexpr uint32_t scatterVersion = 0x20100;
constexpr uint32_t teamVersion = 0x20200;
constexpr uint32_t codeLimit64Version = 0x20300;
constexpr uint32_t execSegVersion = 0x20400;
constexpr uint32_t runtimeVersion = 0x20500;
constexpr uint32_t linkageVersion = 0x20600;

uint32_t fixedSize(uint32_t version) {
    if (version >= linkageVersion) {
        return 108;
    }
    if (version >= runtimeVersion) {
        return 96;
    }
    if (version >= execSegVersion) {
        return 88;
    }
    if (version >= codeLimit64Version) {
        return 64;
    }
    if (version >= teamVersion) {
        return 52;
    }
    if (version >= scatterVersion) {
        return 48;
    }
    return 44;
}

Result<std::string> stringAt(Bytes blob, uint32_t offset, uint32_t minimum, const char* what) {
    if (offset < minimum || offset >= blob.size()) {
        return malformed(std::string("code directory ") + what + " offset " +
                         std::to_string(offset) + " lies outside the directory");
    }
    std::string text;
    for (size_t i = offset; i < blob.size(); ++i) {
        const auto c = static_cast<char>(blob[i]);
        if (c == '\0') {
            return text;
        }
        text.push_back(c);
    }
    return malformed(std::string("code directory ") + what + " is not NUL-terminated");
}

void readVersionedFields(ByteCursor& cursor, CodeDirectory& directory) {
    if (directory.version >= scatterVersion) {
        directory.scatterOffset = cursor.u32();
    }
    if (directory.version >= teamVersion) {
        directory.teamOffset = cursor.u32();
    }
    if (directory.version >= codeLimit64Version) {
        cursor.skip(4);
        directory.codeLimit64 = cursor.u64();
    }
    if (directory.version >= execSegVersion) {
        directory.execSegBase = cursor.u64();
        directory.execSegLimit = cursor.u64();
        directory.execSegFlags = cursor.u64();
    }
    if (directory.version >= runtimeVersion) {
        directory.runtime = cursor.u32();
        directory.preEncryptOffset = cursor.u32();
    }
}

std::optional<MachOError> checkHashes(const CodeDirectory& directory, uint32_t headerSize) {
    const uint64_t hashSize = directory.hashSize;
    if ((directory.nCodeSlots > 0 || directory.nSpecialSlots > 0) && hashSize == 0) {
        return malformed("code directory has slots but a hash size of 0");
    }
    const uint64_t specialBytes = directory.nSpecialSlots * hashSize;
    if (specialBytes > directory.hashOffset || directory.hashOffset - specialBytes < headerSize) {
        return malformed("code directory special slots overlap its header");
    }
    if (!fits(directory.bytes.size(), directory.hashOffset, directory.nCodeSlots * hashSize)) {
        return truncated("code directory hash slots extend past the end of the directory");
    }
    return std::nullopt;
}

} // namespace

uint64_t CodeDirectory::effectiveCodeLimit() const {
    return version >= codeLimit64Version && codeLimit64 != 0 ? codeLimit64 : codeLimit;
}

Bytes CodeDirectory::codeSlotHash(uint32_t index) const {
    if (index >= nCodeSlots) {
        return {};
    }
    return bytes.subspan(hashOffset + uint64_t{index} * hashSize, hashSize);
}

Bytes CodeDirectory::specialSlotHash(uint32_t slot) const {
    if (slot == 0 || slot > nSpecialSlots) {
        return {};
    }
    return bytes.subspan(hashOffset - uint64_t{slot} * hashSize, hashSize);
}

Result<CodeDirectory> parseCodeDirectory(Bytes blob) {
    ByteCursor cursor(blob, ByteOrder::big);
    if (cursor.u32() != blob_magic::codeDirectory) {
        return malformed("code directory has the wrong magic");
    }
    const uint32_t length = cursor.u32();
    CodeDirectory directory;
    directory.version = cursor.u32();
    if (!cursor.ok() || length > blob.size()) {
        return truncated("code directory extends past the end of its blob");
    }
    if (directory.version < earliestVersion) {
        return malformed("code directory version " + std::to_string(directory.version) +
                         " is not supported");
    }
    const uint32_t headerSize = fixedSize(directory.version);
    if (length < headerSize) {
        return truncated("code directory is shorter than its version's header");
    }
    directory.bytes = blob.first(length);
    ByteCursor fields(directory.bytes, ByteOrder::big, 12);
    directory.flags = fields.u32();
    directory.hashOffset = fields.u32();
    directory.identOffset = fields.u32();
    directory.nSpecialSlots = fields.u32();
    directory.nCodeSlots = fields.u32();
    directory.codeLimit = fields.u32();
    directory.hashSize = fields.u8();
    directory.hashType = fields.u8();
    directory.platform = fields.u8();
    directory.pageSize = fields.u8();
    fields.skip(4);
    readVersionedFields(fields, directory);
    if (!fields.ok()) {
        return truncated("code directory is shorter than its version's header");
    }
    if (std::optional<MachOError> error = checkHashes(directory, headerSize)) {
        return *error;
    }
    BW_TRY(identifier, stringAt(directory.bytes, directory.identOffset, headerSize, "identifier"));
    directory.identifier = std::move(identifier).value();
    if (directory.version >= teamVersion && directory.teamOffset != 0) {
        BW_TRY(team,
               stringAt(directory.bytes, directory.teamOffset, headerSize, "team identifier"));
        directory.teamIdentifier = std::move(team).value();
    }
    return directory;
}

} // namespace bw::macho
