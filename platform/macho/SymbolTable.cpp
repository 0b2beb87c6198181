#include "platform/macho/SymbolTable.h"

#include "platform/macho/Constants.h"

#include <algorithm>
#include <cstring>

namespace bw::macho {
namespace {

using namespace constants;

Result<std::string_view> symbolName(Bytes strings, uint32_t index, uint32_t symbolIndex) {
    if (index >= strings.size()) {
        return malformed("bad string table index " + std::to_string(index) + " for symbol " +
                         std::to_string(symbolIndex));
    }
    const auto* start = reinterpret_cast<const char*>(strings.data()) + index;
    const size_t available = strings.size() - index;
    const void* end = std::memchr(start, '\0', available);
    if (end == nullptr) {
        return malformed("name of symbol " + std::to_string(symbolIndex) +
                         " runs past the end of the string table");
    }
    return std::string_view(start, static_cast<const char*>(end) - start);
}

// A linker writes each name once, or shares one between a few entries (a function and its
// debugging entry); many symbols pointing into one long name would make reading and listing them
// quadratic in the file's size.
constexpr uint64_t maximumNameSharing = 4;

} // namespace

bool Symbol::isUndefinedExternal() const {
    return (type & nStab) == 0 && (type & nType) == nUndf && (type & nExt) != 0 && value == 0;
}

Result<std::vector<Symbol>> readSymbols(const MachOImage& image) {
    std::vector<Symbol> symbols;
    if (!image.symtab) {
        return symbols;
    }
    const SymtabCommand& symtab = *image.symtab;
    const Bytes strings = image.bytes.subspan(symtab.stringOffset, symtab.stringSize);
    const uint32_t entrySize = image.header.is64 ? nlist64Size : nlistSize;
    // parseImage checked that all entries lie inside the image, so the count is bounded by it.
    symbols.reserve(symtab.symbolCount);
    ByteCursor cursor(image.bytes, image.header.byteOrder, symtab.symbolOffset);
    const uint64_t nameBudget =
        maximumNameSharing * (uint64_t{symtab.stringSize} + symtab.symbolCount);
    uint64_t nameBytes = 0;
    for (uint32_t i = 0; i < symtab.symbolCount; ++i) {
        const uint32_t stringIndex = cursor.u32();
        Symbol symbol;
        symbol.type = cursor.u8();
        symbol.section = cursor.u8();
        symbol.description = cursor.u16();
        symbol.value = entrySize == nlist64Size ? cursor.u64() : cursor.u32();
        if (!cursor.ok()) {
            return truncated("symbol table extends past the end of the file");
        }
        BW_TRY(name, symbolName(strings, stringIndex, i));
        nameBytes += name->size();
        if (nameBytes > nameBudget) {
            return malformed("the names of " + std::to_string(i + 1) +
                             " symbols overlap far beyond the string table");
        }
        symbol.name = *name;
        symbols.push_back(symbol);
    }
    return symbols;
}

Result<std::vector<std::string_view>> undefinedSymbolNames(const MachOImage& image) {
    BW_TRY(symbols, readSymbols(image));
    std::vector<std::string_view> names;
    for (const Symbol& symbol : *symbols) {
        if (symbol.isUndefinedExternal()) {
            names.push_back(symbol.name);
        }
    }
    std::ranges::sort(names);
    return names;
}

} // namespace bw::macho
