#pragma once

#include "platform/macho/ByteCursor.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Writes small synthetic Mach-O images in either byte order and width, for the cases the linker
// here cannot produce (32-bit images, big-endian images, broken fields).
namespace bw::test {

using macho::ByteOrder;
using macho::Bytes;
using Buffer = std::vector<std::byte>;

class ByteWriter {
public:
    explicit ByteWriter(ByteOrder order) : order_(order) {}

    void u8(uint8_t v) { bytes_.push_back(static_cast<std::byte>(v)); }
    void u16(uint16_t v) { put(v, 2); }
    void u32(uint32_t v) { put(v, 4); }
    void u32s(std::initializer_list<uint32_t> values) {
        for (const uint32_t v : values) {
            u32(v);
        }
    }
    void u64(uint64_t v) { put(v, 8); }
    void name(const std::string& text, size_t width); // NUL-padded fixed field
    void text(const std::string& text);               // with its NUL
    void append(const Buffer& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    void padTo(size_t alignment);
    void patch32(size_t offset, uint32_t v);

    size_t size() const { return bytes_.size(); }
    const Buffer& bytes() const { return bytes_; }

private:
    void put(uint64_t value, int width);

    ByteOrder order_;
    Buffer bytes_;
};

struct SymbolLayout {
    std::string name;
    uint8_t type = 0x01; // undefined external
    uint64_t value = 0;
};

struct SectionLayout {
    std::string name;
    uint64_t size = 0;
    uint32_t offset = 0;
    uint32_t flags = 0;
};

struct SegmentLayout {
    std::string name;
    uint64_t fileOffset = 0;
    uint64_t fileSize = 0;
    std::vector<SectionLayout> sections;
};

class ImageBuilder {
public:
    ImageBuilder(bool is64, ByteOrder order, int32_t cpuType, int32_t cpuSubtype);

    ImageBuilder& dylib(uint32_t command, const std::string& name, uint32_t current,
                        uint32_t compatibility);
    ImageBuilder& segment(SegmentLayout segment);
    ImageBuilder& symbols(std::vector<SymbolLayout> symbols);
    ImageBuilder& codeSignature(Buffer blob);
    ImageBuilder& command(uint32_t command, Buffer payload); // any other command, as given

    Buffer build() const;

private:
    struct Command {
        uint32_t command;
        Buffer payload; // after cmd and cmdsize, padded at build time
        // 32-bit fields of the payload, and the offsets into the data they are to hold.
        std::vector<std::pair<size_t, size_t>> dataOffsets;
    };

    bool is64_;
    ByteOrder order_;
    int32_t cpuType_;
    int32_t cpuSubtype_;
    std::vector<Command> commands_;
    ByteWriter data_; // what follows the load commands
};

Bytes view(const Buffer& buffer);

} // namespace bw::test
