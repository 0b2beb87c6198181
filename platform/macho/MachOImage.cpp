#include "platform/macho/MachOImage.h"

#include "platform/macho/Architecture.h"
#include "platform/macho/Constants.h"

#include <algorithm>
#include <optional>

namespace bw::macho {
namespace {

using namespace constants;

std::string commandLabel(size_t index) {
    return "load command " + std::to_string(index);
}

std::optional<MachOHeader> headerKind(Bytes bytes) {
    if (bytes.size() < 4) {
        return std::nullopt;
    }
    // The magic read as big-endian tells the byte order and the width at once.
    const uint32_t magic = ByteCursor(bytes, ByteOrder::big).u32();
    MachOHeader header;
    switch (magic) {
    case magic32:
        header.byteOrder = ByteOrder::big;
        break;
    case magic64:
        header.byteOrder = ByteOrder::big;
        header.is64 = true;
        break;
    case cigam32:
        break;
    case cigam64:
        header.is64 = true;
        break;
    default:
        return std::nullopt;
    }
    return header;
}

Result<MachOHeader> readHeader(Bytes bytes) {
    std::optional<MachOHeader> header = headerKind(bytes);
    if (!header) {
        return MachOError{MachOError::Kind::notObjectFile, {}};
    }
    const uint32_t headerSize = header->is64 ? header64Size : header32Size;
    if (bytes.size() < headerSize) {
        return truncated("mach header extends past the end of the file");
    }
    ByteCursor cursor(bytes, header->byteOrder, 4);
    header->cpuType = cursor.i32();
    header->cpuSubtype = cursor.i32();
    header->fileType = cursor.u32();
    header->commandCount = cursor.u32();
    header->commandsSize = cursor.u32();
    header->flags = cursor.u32();
    if (!fits(bytes.size(), headerSize, header->commandsSize)) {
        return truncated("load commands extend past the end of the file");
    }
    // Every command takes at least eight bytes, which bounds the count by the file's size.
    if (header->commandCount > header->commandsSize / loadCommandHeaderSize) {
        return malformed("ncmds " + std::to_string(header->commandCount) +
                         " does not fit in sizeofcmds " + std::to_string(header->commandsSize));
    }
    return *header;
}

std::optional<DylibKind> dylibKind(uint32_t command) {
    switch (command) {
    case lcIdDylib:
        return DylibKind::id;
    case lcLoadDylib:
        return DylibKind::load;
    case lcLoadWeakDylib:
        return DylibKind::weak;
    case lcReexportDylib:
        return DylibKind::reexport;
    case lcLazyLoadDylib:
        return DylibKind::lazy;
    case lcLoadUpwardDylib:
        return DylibKind::upward;
    default:
        return std::nullopt;
    }
}

Result<DylibReference> readDylib(Bytes command, ByteOrder order, DylibKind kind,
                                 const std::string& label) {
    if (command.size() < dylibCommandSize) {
        return malformed(label + " is too small for a dylib command");
    }
    ByteCursor cursor(command, order, 12);
    DylibReference dylib;
    dylib.kind = kind;
    dylib.timestamp = cursor.u32();
    dylib.currentVersion = cursor.u32();
    dylib.compatibilityVersion = cursor.u32();
    // The name's offset is the first field after cmd and cmdsize.
    const uint32_t nameOffset = ByteCursor(command, order, 8).u32();
    if (nameOffset < dylibCommandSize || nameOffset >= command.size()) {
        return malformed(label + " name offset " + std::to_string(nameOffset) +
                         " lies outside the command");
    }
    for (size_t i = nameOffset; i < command.size(); ++i) {
        const auto c = static_cast<char>(command[i]);
        if (c == '\0') {
            return dylib;
        }
        dylib.installName.push_back(c);
    }
    return malformed(label + " name is not NUL-terminated");
}

Result<Section> readSection(ByteCursor& cursor, bool is64, uint64_t imageSize,
                            const std::string& label) {
    Section section;
    section.name = cursor.name(16);
    section.segmentName = cursor.name(16);
    section.address = is64 ? cursor.u64() : cursor.u32();
    section.size = is64 ? cursor.u64() : cursor.u32();
    section.offset = cursor.u32();
    section.alignment = cursor.u32();
    cursor.skip(8); // relocation offset and count
    section.flags = cursor.u32();
    cursor.skip(is64 ? 12 : 8);
    if (section.occupiesFile() && section.size > 0 &&
        !fits(imageSize, section.offset, section.size)) {
        return truncated(label + " section " + section.name + " extends past the end of the file");
    }
    return section;
}

Result<Segment> readSegment(Bytes command, ByteOrder order, bool is64, uint64_t imageSize,
                            const std::string& label) {
    const uint32_t fixedSize = is64 ? segment64CommandSize : segmentCommandSize;
    const uint32_t sectionBytes = is64 ? section64Size : sectionSize;
    if (command.size() < fixedSize) {
        return malformed(label + " is too small for a segment command");
    }
    ByteCursor cursor(command, order, 8);
    Segment segment;
    segment.name = cursor.name(16);
    segment.vmAddress = is64 ? cursor.u64() : cursor.u32();
    segment.vmSize = is64 ? cursor.u64() : cursor.u32();
    segment.fileOffset = is64 ? cursor.u64() : cursor.u32();
    segment.fileSize = is64 ? cursor.u64() : cursor.u32();
    segment.maxProtection = cursor.u32();
    segment.initialProtection = cursor.u32();
    const uint32_t sectionCount = cursor.u32();
    segment.flags = cursor.u32();
    if (!fits(imageSize, segment.fileOffset, segment.fileSize)) {
        return truncated(label + " segment " + segment.name + " extends past the end of the file");
    }
    if (sectionCount > (command.size() - fixedSize) / sectionBytes) {
        return malformed(label + " nsects " + std::to_string(sectionCount) +
                         " does not fit in its cmdsize");
    }
    segment.sections.reserve(sectionCount);
    for (uint32_t i = 0; i < sectionCount; ++i) {
        BW_TRY(section, readSection(cursor, is64, imageSize, label));
        segment.sections.push_back(std::move(section).value());
    }
    return segment;
}

Result<SymtabCommand> readSymtab(Bytes command, const MachOHeader& header, uint64_t imageSize,
                                 const std::string& label) {
    if (command.size() < symtabCommandSize) {
        return malformed(label + " is too small for LC_SYMTAB");
    }
    ByteCursor cursor(command, header.byteOrder, 8);
    SymtabCommand symtab;
    symtab.symbolOffset = cursor.u32();
    symtab.symbolCount = cursor.u32();
    symtab.stringOffset = cursor.u32();
    symtab.stringSize = cursor.u32();
    const uint64_t entrySize = header.is64 ? nlist64Size : nlistSize;
    if (!fits(imageSize, symtab.symbolOffset, uint64_t{symtab.symbolCount} * entrySize)) {
        return truncated("symbol table (nsyms " + std::to_string(symtab.symbolCount) +
                         ") extends past the end of the file");
    }
    if (!fits(imageSize, symtab.stringOffset, symtab.stringSize)) {
        return truncated("string table extends past the end of the file");
    }
    return symtab;
}

Result<LinkeditData> readLinkeditData(Bytes command, ByteOrder order, uint64_t imageSize,
                                      const std::string& label) {
    if (command.size() < linkeditDataCommandSize) {
        return malformed(label + " is too small for a linkedit data command");
    }
    ByteCursor cursor(command, order, 8);
    LinkeditData data;
    data.dataOffset = cursor.u32();
    data.dataSize = cursor.u32();
    if (!fits(imageSize, data.dataOffset, data.dataSize)) {
        return truncated(label + " data extends past the end of the file");
    }
    return data;
}

// Reads one command's contents into `image`; the command's own bytes are known to be in range.
std::optional<MachOError> readCommand(MachOImage& image, const LoadCommand& loadCommand,
                                      const std::string& label) {
    const Bytes command = image.bytes.subspan(loadCommand.offset, loadCommand.size);
    const MachOHeader& header = image.header;
    const uint64_t imageSize = image.bytes.size();
    if (std::optional<DylibKind> kind = dylibKind(loadCommand.command)) {
        if (*kind == DylibKind::id &&
            std::ranges::any_of(image.dylibs,
                                [](const DylibReference& d) { return d.kind == DylibKind::id; })) {
            return malformed("more than one LC_ID_DYLIB command");
        }
        BW_TRY(dylib, readDylib(command, header.byteOrder, *kind, label));
        image.dylibs.push_back(std::move(dylib).value());
        return std::nullopt;
    }
    switch (loadCommand.command) {
    case lcSegment:
    case lcSegment64: {
        if ((loadCommand.command == lcSegment64) != header.is64) {
            return malformed(label + " segment command does not match the header's width");
        }
        BW_TRY(segment, readSegment(command, header.byteOrder, header.is64, imageSize, label));
        image.segments.push_back(std::move(segment).value());
        return std::nullopt;
    }
    case lcSymtab: {
        if (image.symtab) {
            return malformed("more than one LC_SYMTAB command");
        }
        BW_TRY(symtab, readSymtab(command, header, imageSize, label));
        image.symtab = *symtab;
        return std::nullopt;
    }
    case lcCodeSignature: {
        if (image.codeSignature) {
            return malformed("more than one LC_CODE_SIGNATURE command");
        }
        BW_TRY(data, readLinkeditData(command, header.byteOrder, imageSize, label));
        image.codeSignature = *data;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<MachOError> readLoadCommands(MachOImage& image) {
    const MachOHeader& header = image.header;
    const uint64_t start = header.is64 ? header64Size : header32Size;
    const uint64_t end = start + header.commandsSize;
    const uint32_t alignment = header.is64 ? 8 : 4;
    image.loadCommands.reserve(header.commandCount);
    uint64_t offset = start;
    for (uint32_t index = 0; index < header.commandCount; ++index) {
        const std::string label = commandLabel(index);
        if (!fits(end, offset, loadCommandHeaderSize)) {
            return truncated(label + " extends past the end of all load commands in the file");
        }
        ByteCursor cursor(image.bytes, header.byteOrder, offset);
        LoadCommand command;
        command.command = cursor.u32();
        command.size = cursor.u32();
        command.offset = offset;
        if (command.size < loadCommandHeaderSize || command.size % alignment != 0) {
            return malformed(label + " cmdsize " + std::to_string(command.size) +
                             " is not a multiple of " + std::to_string(alignment) +
                             " of at least 8");
        }
        if (!fits(end, offset, command.size)) {
            return truncated(label + " extends past the end of all load commands in the file");
        }
        if (std::optional<MachOError> error = readCommand(image, command, label)) {
            return error;
        }
        image.loadCommands.push_back(command);
        offset += command.size;
    }
    return std::nullopt;
}

} // namespace

std::string formatVersion(uint32_t packed) {
    return std::to_string(packed >> 16) + "." + std::to_string((packed >> 8) & 0xff) + "." +
           std::to_string(packed & 0xff);
}

bool Section::occupiesFile() const {
    const uint32_t type = flags & sectionTypeMask;
    return type != sZeroFill && type != sGbZeroFill && type != sThreadLocalZeroFill;
}

std::string MachOImage::architecture() const {
    return architectureName(header.cpuType, header.cpuSubtype);
}

Bytes MachOImage::codeSignatureBytes() const {
    if (!codeSignature) {
        return {};
    }
    return bytes.subspan(codeSignature->dataOffset, codeSignature->dataSize);
}

bool hasThinMagic(Bytes bytes) {
    return headerKind(bytes).has_value();
}

Result<MachOImage> parseImage(Bytes bytes) {
    BW_TRY(header, readHeader(bytes));
    MachOImage image;
    image.bytes = bytes;
    image.header = *header;
    if (std::optional<MachOError> error = readLoadCommands(image)) {
        return *error;
    }
    return image;
}

} // namespace bw::macho
