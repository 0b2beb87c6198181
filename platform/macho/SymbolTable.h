#pragma once

#include "platform/macho/MachOImage.h"

#include <string_view>
#include <vector>

namespace bw::macho {

// One symbol table entry; `name` views the image's string table.
struct Symbol {
    std::string_view name;
    uint8_t type = 0;
    uint8_t section = 0;
    uint16_t description = 0;
    uint64_t value = 0;

    // An undefined external reference, the kind a dynamic linker binds. Debugging entries and
    // common symbols (undefined with a size in `value`) are not.
    bool isUndefinedExternal() const;
    bool operator==(const Symbol&) const = default;
};

// Every entry of the image's LC_SYMTAB in table order; empty without one. Fails when a name's
// string index lies outside the string table or its name runs off the table's end.
Result<std::vector<Symbol>> readSymbols(const MachOImage& image);

// The names of the undefined external symbols, sorted bytewise as the nm listing shows them.
Result<std::vector<std::string_view>> undefinedSymbolNames(const MachOImage& image);

} // namespace bw::macho
