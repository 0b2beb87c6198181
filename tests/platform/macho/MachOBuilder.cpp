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

void ByteWriter::patch32(size_t offset, uint32_t v) {
    ByteWriter word(order_);
    word.u32(v);
    std::copy(word.bytes_.begin(), word.bytes_.end(), bytes_.begin() + offset);
}

ImageBuilder::ImageBuilder(bool is64, ByteOrder order, int32_t cpuType, int32_t cpuSubtype)
    : is64_(is64), order_(order), cpuType_(cpuType), cpuSubtype_(cpuSubtype), data_(order) {}

ImageBuilder& ImageBuilder::dylib(uint32_t command, const std::string& name, uint32_t current,
                                  uint32_t compatibility) {
    ByteWriter payload(order_);
    payload.u32s({24, 2, current, compatibility}); // the name's offset, a timestamp, versions
    payload.text(name);
    commands_.push_back({command, payload.bytes(), {}});
    return *this;
}

ImageBuilder& ImageBuilder::segment(SegmentLayout segment) {
    ByteWriter out(order_);
    const auto word = [&](uint64_t v) { is64_ ? out.u64(v) : out.u32(static_cast<uint32_t>(v)); };
    out.name(segment.name, 16);
    word(0x1000);
    word(0x1000);
    word(segment.fileOffset);
    word(segment.fileSize);
    // Protections, section count, flags.
    out.u32s({5, 5, static_cast<uint32_t>(segment.sections.size()), 0});
    for (const SectionLayout& section : segment.sections) {
        out.name(section.name, 16);
        out.name(segment.name, 16);
        word(0x1000 + section.offset);
        word(section.size);
        // Offset, alignment, relocations, flags, reserved.
        out.u32s({section.offset, 2, 0, 0, section.flags, 0, 0});
        if (is64_) {
            out.u32(0);
        }
    }
    return command(is64_ ? 0x19u : 0x1u, out.bytes());
}

ImageBuilder& ImageBuilder::symbols(std::vector<SymbolLayout> symbols) {
    ByteWriter strings(order_);
    strings.u8(0);
    const size_t symbolOffset = data_.size();
    for (const SymbolLayout& symbol : symbols) {
        data_.u32(static_cast<uint32_t>(strings.size()));
        strings.text(symbol.name);
        data_.u8(symbol.type);
        data_.u8(0);
        data_.u16(0);
        is64_ ? data_.u64(symbol.value) : data_.u32(static_cast<uint32_t>(symbol.value));
    }
    ByteWriter payload(order_);
    // The symbol and string offsets are set at build time.
    payload.u32s(
        {0, static_cast<uint32_t>(symbols.size()), 0, static_cast<uint32_t>(strings.size())});
    commands_.push_back({0x2, payload.bytes(), {{0, symbolOffset}, {8, data_.size()}}});
    data_.append(strings.bytes());
    return *this;
}

ImageBuilder& ImageBuilder::codeSignature(Buffer blob) {
    data_.padTo(16);
    ByteWriter payload(order_);
    payload.u32(0); // the offset, set at build time
    payload.u32(static_cast<uint32_t>(blob.size()));
    commands_.push_back({0x1d, payload.bytes(), {{0, data_.size()}}});
    data_.append(blob);
    return *this;
}

ImageBuilder& ImageBuilder::command(uint32_t command, Buffer payload) {
    commands_.push_back({command, std::move(payload), {}});
    return *this;
}

Buffer ImageBuilder::build() const {
    const size_t alignment = is64_ ? 8 : 4;
    const auto commandSize = [&](const Command& command) {
        return (command.payload.size() + 8 + alignment - 1) / alignment * alignment;
    };
    size_t commandsSize = 0;
    for (const Command& command : commands_) {
        commandsSize += commandSize(command);
    }
    const size_t dataStart = (is64_ ? 32 : 28) + commandsSize;
    ByteWriter out(order_);
    // Magic, CPU, file type (executable), command count and size, flags.
    out.u32s({is64_ ? 0xfeedfacfu : 0xfeedfaceu, uint32_t(cpuType_), uint32_t(cpuSubtype_), 2,
              uint32_t(commands_.size()), uint32_t(commandsSize), 0});
    if (is64_) {
        out.u32(0);
    }
    for (const Command& command : commands_) {
        const size_t start = out.size();
        out.u32(command.command);
        out.u32(static_cast<uint32_t>(commandSize(command)));
        ByteWriter payload(order_);
        payload.append(command.payload);
        for (const auto& [field, offset] : command.dataOffsets) {
            payload.patch32(field, static_cast<uint32_t>(dataStart + offset));
        }
        out.append(payload.bytes());
        while (out.size() < start + commandSize(command)) {
            out.u8(0);
        }
    }
    out.append(data_.bytes());
    return out.bytes();
}

Bytes view(const Buffer& buffer) {
    return {buffer.data(), buffer.size()};
}

} // namespace bw::test
