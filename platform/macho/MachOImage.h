#pragma once

#include "platform/macho/ByteCursor.h"
#include "platform/macho/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bw::macho {

struct MachOHeader {
    bool is64 = false;
    ByteOrder byteOrder = ByteOrder::little;
    int32_t cpuType = 0;
    int32_t cpuSubtype = 0;
    uint32_t fileType = 0;
    uint32_t commandCount = 0;
    uint32_t commandsSize = 0;
    uint32_t flags = 0;

    bool operator==(const MachOHeader&) const = default;
};

// Where one load command sits; `offset` is from the start of the image.
struct LoadCommand {
    uint32_t command = 0;
    uint32_t size = 0;
    uint64_t offset = 0;

    bool operator==(const LoadCommand&) const = default;
};

// The dylib load commands, in the order in which they carry the same layout.
enum class DylibKind { id, load, weak, reexport, lazy, upward };

struct DylibReference {
    DylibKind kind = DylibKind::load;
    std::string installName;
    uint32_t timestamp = 0;
    uint32_t currentVersion = 0;       // packed as 16.8.8 bits
    uint32_t compatibilityVersion = 0; // packed as 16.8.8 bits

    bool operator==(const DylibReference&) const = default;
};

// "A.B.C" from a version packed as 16.8.8 bits.
std::string formatVersion(uint32_t packed);

struct Section {
    std::string name;
    std::string segmentName;
    uint64_t address = 0;
    uint64_t size = 0;
    uint32_t offset = 0;
    uint32_t alignment = 0; // power of two
    uint32_t flags = 0;

    bool occupiesFile() const; // false for the zero-fill types
    bool operator==(const Section&) const = default;
};

struct Segment {
    std::string name;
    uint64_t vmAddress = 0;
    uint64_t vmSize = 0;
    uint64_t fileOffset = 0;
    uint64_t fileSize = 0;
    uint32_t maxProtection = 0;
    uint32_t initialProtection = 0;
    uint32_t flags = 0;
    std::vector<Section> sections;

    bool operator==(const Segment&) const = default;
};

struct SymtabCommand {
    uint32_t symbolOffset = 0;
    uint32_t symbolCount = 0;
    uint32_t stringOffset = 0;
    uint32_t stringSize = 0;

    bool operator==(const SymtabCommand&) const = default;
};

struct LinkeditData {
    uint32_t dataOffset = 0;
    uint32_t dataSize = 0;

    bool operator==(const LinkeditData&) const = default;
};

// One thin Mach-O image: the file itself or one slice of a universal file. `bytes` views the
// image's bytes; the other fields are copies, and every offset in them has been checked to lie
// within `bytes`.
struct MachOImage {
    Bytes bytes;
    MachOHeader header;
    std::vector<LoadCommand> loadCommands;
    std::vector<DylibReference> dylibs; // in load-command order
    std::vector<Segment> segments;
    std::optional<SymtabCommand> symtab;
    std::optional<LinkeditData> codeSignature;

    std::string architecture() const;
    Bytes codeSignatureBytes() const; // empty without LC_CODE_SIGNATURE
};

bool hasThinMagic(Bytes bytes);

// Reads the header and every load command. Fails with notObjectFile when `bytes` does not start
// with a Mach-O magic, and with truncated or malformed for any inconsistency.
Result<MachOImage> parseImage(Bytes bytes);

} // namespace bw::macho
