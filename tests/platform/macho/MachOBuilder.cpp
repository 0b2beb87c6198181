#include "MachOBuilder.h"

namespace bw::test {

void ByteWriter::put(uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        const int shift = order_ == ByteOrder::little ? 8 * i : 8 * (width - 1 - i);
        bytes_.push_back(static_cast<std::byte>(value >> shift));
    }
}

void ByteWriter::name(const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        u8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
}

void ByteWriter::text(const std::string& text) {
    for (char c : text) {
        u8(static_cast<uint8_t>(c));
    }
    u8(0);
}

void ByteWriter::padTo(size_t alignment) {
    while (bytes_.size() % alignment != 0) {
        u8(0);
    }
}

ImageBuilder::ImageBuilder(bool is64, ByteOrder order, int32_t cpuType, int32_t cpuSubtype)
    : is64_(is64), order_(order), cpuType_(cpuType), cpuSubtype_(cpuSubtype) {}

ImageBuilder& ImageBuilder::dylib(uint32_t command, const std::string& name, uint32_t current,
                                  uint32_t compatibility) {
    ByteWriter payload(order_);
    payload.u32(24); // the name follows the fixed fields
    payload.u32(2);  // timestamp
    payload.u32(current);
    payload.u32(compatibility);
    payload.text(name);
    commands_.push_back({command, payload.bytes()});
    return *this;
}

ImageBuilder& ImageBuilder::segment(SegmentLayout segment) {
    segments_.push_back(std::move(segment));
    commands_.push_back({is64_ ? 0x19u : 0x1u, {}, Generated::segment});
    return *this;
}

ImageBuilder& ImageBuilder::symbols(std::vector<SymbolLayout> symbols) {
    symbols_ = std::move(symbols);
    hasSymtab_ = true;
    commands_.push_back({0x2, {}, Generated::symtab});
    return *this;
}

ImageBuilder& ImageBuilder::codeSignature(Buffer blob) {
    signature_ = std::move(blob);
    hasSignature_ = true;
    commands_.push_back({0x1d, {}, Generated::signature});
    return *this;
}

ImageBuilder& ImageBuilder::command(uint32_t command, Buffer payload) {
    commands_.push_back({command, std::move(payload)});
    return *this;
}

Buffer ImageBuilder::build() const {
    const size_t alignment = is64_ ? 8 : 4;
    const size_t headerSize = is64_ ? 32 : 28;
    // Sizes of the generated commands are fixed, so the data area's start is known up front.
    const auto payloadSize = [&](const Command& command, size_t segmentIndex) -> size_t {
        if (command.generated == Generated::segment) {
            return (is64_ ? 64 : 48) + segments_[segmentIndex].sections.size() * (is64_ ? 80 : 68);
        }
        if (command.generated == Generated::symtab) {
            return 16;
        }
        if (command.generated == Generated::signature) {
            return 8;
        }
        return (command.payload.size() + 8 + alignment - 1) / alignment * alignment - 8;
    };
    size_t commandsSize = 0;
    size_t segmentCount = 0;
    for (const Command& command : commands_) {
        const bool isSegment = command.generated == Generated::segment;
        commandsSize += 8 + payloadSize(command, isSegment ? segmentCount++ : 0);
    }

    ByteWriter data(order_);
    const size_t dataStart = headerSize + commandsSize;
    const size_t symbolOffset = dataStart;
    ByteWriter strings(order_);
    strings.u8(0);
    for (const SymbolLayout& symbol : symbols_) {
        data.u32(static_cast<uint32_t>(strings.size()));
        strings.text(symbol.name);
        data.u8(symbol.type);
        data.u8(0);
        data.u16(0);
        is64_ ? data.u64(symbol.value) : data.u32(static_cast<uint32_t>(symbol.value));
    }
    const size_t stringOffset = dataStart + data.size();
    data.append(strings.bytes());
    data.padTo(16);
    const size_t signatureOffset = dataStart + data.size();
    data.append(signature_);

    ByteWriter out(order_);
    out.u32(is64_ ? 0xfeedfacf : 0xfeedface);
    out.u32(static_cast<uint32_t>(cpuType_));
    out.u32(static_cast<uint32_t>(cpuSubtype_));
    out.u32(2); // executable
    out.u32(static_cast<uint32_t>(commands_.size()));
    out.u32(static_cast<uint32_t>(commandsSize));
    out.u32(0);
    if (is64_) {
        out.u32(0);
    }
    segmentCount = 0;
    for (const Command& command : commands_) {
        const bool isSegment = command.generated == Generated::segment;
        const size_t size = 8 + payloadSize(command, isSegment ? segmentCount : 0);
        const size_t start = out.size();
        out.u32(command.command);
        out.u32(static_cast<uint32_t>(size));
        if (isSegment) {
            const SegmentLayout& segment = segments_[segmentCount++];
            const auto word = [&](uint64_t v) {
                is64_ ? out.u64(v) : out.u32(static_cast<uint32_t>(v));
            };
            out.name(segment.name, 16);
            word(0x1000);
            word(0x1000);
            word(segment.fileOffset);
            word(segment.fileSize);
            out.u32(5);
            out.u32(5);
            out.u32(static_cast<uint32_t>(segment.sections.size()));
            out.u32(0);
            for (const SectionLayout& section : segment.sections) {
                out.name(section.name, 16);
                out.name(segment.name, 16);
                word(0x1000 + section.offset);
                word(section.size);
                out.u32(section.offset);
                out.u32(2);
                out.u32(0);
                out.u32(0);
                out.u32(section.flags);
                out.u32(0);
                out.u32(0);
                if (is64_) {
                    out.u32(0);
                }
            }
        } else if (command.generated == Generated::symtab) {
            out.u32(static_cast<uint32_t>(symbolOffset));
            out.u32(static_cast<uint32_t>(symbols_.size()));
            out.u32(static_cast<uint32_t>(stringOffset));
            out.u32(static_cast<uint32_t>(signatureOffset - stringOffset));
        } else if (command.generated == Generated::signature) {
            out.u32(static_cast<uint32_t>(signatureOffset));
            out.u32(static_cast<uint32_t>(signature_.size()));
        } else {
            out.append(command.payload);
        }
        while (out.size() < start + size) {
            out.u8(0);
        }
    }
    out.append(data.bytes());
    return out.bytes();
}

Bytes view(const Buffer& buffer) {
    return {buffer.data(), buffer.size()};
}

} // namespace bw::test
