#pragma once

#include "platform/macho/MachOImage.h"
#include "platform/macho/MappedFile.h"

#include <vector>

namespace bw::macho {

// One architecture of a file: the whole file when it is thin.
struct Slice {
    int32_t cpuType = 0;
    int32_t cpuSubtype = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t alignment = 0; // power of two; 0 for a thin file
    MachOImage image;

    std::string architecture() const;
};

struct MachOFile {
    enum class Container { thin, fat, fat64 };

    Container container = Container::thin;
    std::vector<Slice> slices; // in the order of the universal header

    bool isUniversal() const { return container != Container::thin; }
};

// Reads a thin or universal Mach-O file and every slice's header and load commands. A universal
// header must describe slices that lie inside the file, after the header, without overlapping
// one another, each holding a Mach-O image of the architecture the header claims.
Result<MachOFile> parseMachOFile(Bytes bytes);

// A file on disk, mapped and parsed; `file` views `mapping`.
struct OpenedMachOFile {
    MappedFile mapping;
    MachOFile file;
};

Result<OpenedMachOFile> openMachOFile(const std::string& path);

} // namespace bw::macho
